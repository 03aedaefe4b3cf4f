#pragma once
// The base-class sections Maya's own Attribute Editor templates add, which a node type's
// template calls after its own sections: AEdependNodeTemplate, AEshapeTemplate,
// AEdagNodeInclude, AElocatorInclude and AEgeometryFilterCommon, each taking the node name.
// They run their editorTemplate requests so the record holds them too. Attributes Maya's
// editor never shows (messages, matrices, bounding boxes) are suppressed explicitly, so a
// template's record accounts for every attribute of its node.

namespace host {

void registerBaseTemplateProcedures();

} // namespace host
