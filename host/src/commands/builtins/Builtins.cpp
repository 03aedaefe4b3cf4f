#include "commands/builtins/Builtins.h"

#include "anim/AnimCommands.h"
#include "commands/CommandRegistry.h"
#include "commands/ModuleCommands.h"
#include "commands/builtins/AddAttrCommand.h"
#include "commands/builtins/AttributeQueryCommand.h"
#include "commands/builtins/ConnectAttrCommand.h"
#include "commands/builtins/CreateNodeCommand.h"
#include "commands/builtins/CurrentTimeCommand.h"
#include "commands/builtins/CurrentUnitCommand.h"
#include "commands/builtins/DeleteCommand.h"
#include "commands/builtins/DisconnectAttrCommand.h"
#include "commands/builtins/FileCommand.h"
#include "commands/builtins/GetAttrCommand.h"
#include "commands/builtins/ListAttrCommand.h"
#include "commands/builtins/ListConnectionsCommand.h"
#include "commands/builtins/ListHistoryCommand.h"
#include "commands/builtins/ListRelativesCommand.h"
#include "commands/builtins/LsCommand.h"
#include "commands/builtins/NodeTypeCommand.h"
#include "commands/builtins/FilterExpandCommand.h"
#include "commands/builtins/ObjExistsCommand.h"
#include "commands/builtins/ObjectTypeCommand.h"
#include "commands/builtins/ParentCommand.h"
#include "commands/builtins/PointPositionCommand.h"
#include "commands/builtins/PolyEvaluateCommand.h"
#include "commands/builtins/PrintCommand.h"
#include "commands/builtins/RedoCommand.h"
#include "commands/builtins/RenameCommand.h"
#include "commands/builtins/RequiresCommand.h"
#include "commands/builtins/FileInfoCommand.h"
#include "commands/builtins/RelationshipCommand.h"
#include "commands/builtins/LockNodeCommand.h"
#include "commands/builtins/DataStructureCommand.h"
#include "commands/builtins/SelectCommand.h"
#include "commands/builtins/SetAttrCommand.h"
#include "commands/builtins/UndoCommand.h"
#include "commands/builtins/UnknownNodeCommand.h"
#include "dag/DisplayLayerCommands.h"
#include "dag/JointCommand.h"
#include "deformers/BlendShapeCommand.h"
#include "deformers/DagPoseCommand.h"
#include "deformers/SkinClusterCommand.h"
#include "deformers/SkinPercentCommand.h"
#include "dag/SpaceLocatorCommand.h"
#include "geometry/CircleCommand.h"
#include "geometry/CurveCommand.h"
#include "geometry/DeformerCommand.h"
#include "geometry/DuplicateCommand.h"
#include "geometry/MoveCommand.h"
#include "geometry/PolyPrimitiveCommand.h"
#include "geometry/RotateCommand.h"
#include "geometry/XformCommand.h"
#include "testing/HostMeshFaultCommand.h"
#include "ui/EditorTemplateCommand.h"
#include "ui/UiCommands.h"
#include "views/ViewCommands.h"
#include "viewport/CacheEvaluatorCommands.h"
#include "viewport/DisplayStatusCommands.h"

#include <maya/MStatus.h>

namespace host {

void registerBuiltinCommands()
{
    static const struct
    {
        const char* name;
        MCreatorFunction creator;
    } kCommands[] = {
        {"createNode", CreateNodeCommand::creator},
        {"delete", DeleteCommand::creator},
        {"rename", RenameCommand::creator},
        {"parent", ParentCommand::creator},
        {"select", SelectCommand::creator},
        {"ls", LsCommand::creator},
        {"filterExpand", FilterExpandCommand::creator},
        {"objExists", ObjExistsCommand::creator},
        {"nodeType", NodeTypeCommand::creator},
        {"setAttr", SetAttrCommand::creator},
        {"getAttr", GetAttrCommand::creator},
        {"addAttr", AddAttrCommand::creator},
        {"connectAttr", ConnectAttrCommand::creator},
        {"disconnectAttr", DisconnectAttrCommand::creator},
        {"listConnections", ListConnectionsCommand::creator},
        {"listRelatives", ListRelativesCommand::creator},
        {"file", FileCommand::creator},
        {"undo", UndoCommand::creator},
        {"redo", RedoCommand::creator},
        {"print", PrintCommand::creator},
        {"currentTime", CurrentTimeCommand::creator},
        {"currentUnit", CurrentUnitCommand::creator},
        {"requires", RequiresCommand::creator},
        {"fileInfo", FileInfoCommand::creator},
        {"relationship", RelationshipCommand::creator},
        {"lockNode", LockNodeCommand::creator},
        {"dataStructure", DataStructureCommand::creator},
        {"unknownNode", UnknownNodeCommand::creator},
        {"polyPlane", PolyPrimitiveCommand::planeCreator},
        {"polyCube", PolyPrimitiveCommand::cubeCreator},
        {"polySphere", PolyPrimitiveCommand::sphereCreator},
        {"polyCylinder", PolyPrimitiveCommand::cylinderCreator},
        {"polyCone", PolyPrimitiveCommand::coneCreator},
        {"polyTorus", PolyPrimitiveCommand::torusCreator},
        {"move", MoveCommand::creator},
        {"rotate", RotateCommand::creator},
        {"xform", XformCommand::creator},
        {"duplicate", DuplicateCommand::creator},
        {"deformer", DeformerCommand::creator},
        {"curve", CurveCommand::creator},
        {"circle", CircleCommand::creator},
        {"createDisplayLayer", CreateDisplayLayerCommand::creator},
        {"editDisplayLayerMembers", EditDisplayLayerMembersCommand::creator},
        {"spaceLocator", SpaceLocatorCommand::creator},
        {"joint", JointCommand::creator},
        {"skinCluster", SkinClusterCommand::creator},
        {"skinPercent", SkinPercentCommand::creator},
        {"dagPose", DagPoseCommand::creator},
        {"blendShape", BlendShapeCommand::creator},
        {"hilite", HiliteCommand::creator},
        {"makeLive", MakeLiveCommand::creator},
        {"objectType", ObjectTypeCommand::creator},
        {"listAttr", ListAttrCommand::creator},
        {"attributeQuery", AttributeQueryCommand::creator},
        {"listHistory", ListHistoryCommand::creator},
        {"polyEvaluate", PolyEvaluateCommand::creator},
        {"pointPosition", PointPositionCommand::creator},
    };
    for (const auto& command : kCommands) {
        MStatus status = registerBuiltinCommand(command.name, command.creator, nullptr);
        CHECK_MSTATUS(status);
    }
    registerScriptCommands();
    registerModuleCommands();
    registerAnimCommands();
    registerViewCommands();
    registerViewportCommands();
    registerTestingCommands();
    registerEditorTemplateCommands();
    registerUiCommands();
}

} // namespace host
