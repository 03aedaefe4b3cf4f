#include "ui/PromptDialogCommand.h"

#include "ui/UiFlags.h"
#include "ui/MenuModel.h"

#include <maya/MGlobal.h>

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-t", "-title", CommandFlags::kOneArg},
    {"-m", "-message", CommandFlags::kOneArg},
    {"-tx", "-text", CommandFlags::kOneArg},
    {"-b", "-button", CommandFlags::kOneArg},
    {"-db", "-defaultButton", CommandFlags::kOneArg},
    {"-cb", "-cancelButton", CommandFlags::kOneArg},
    {"-ds", "-dismissString", CommandFlags::kOneArg},
};
const char* const kCommand = "promptDialog";

MString& lastText()
{
    static MString text;
    return text;
}
} // namespace

MStatus PromptDialogCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = parseUiFlags(flags, kCommand, args, kFlags);
    if (!status)
        return status;
    if (flags.isQuery()) {
        if (!flags.isSet("-tx")) {
            MGlobal::displayError("promptDialog: only -text can be queried.");
            return MS::kInvalidParameter;
        }
        setResult(lastText());
        return MS::kSuccess;
    }
    status = requireMainWindow(kCommand);
    if (!status)
        return status;

    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName("promptDialog");
    dialog.setWindowTitle(flags.isSet("-t") ? flags.arg("-t").asChar() : "Prompt");
    auto* layout = new QVBoxLayout(&dialog);
    if (flags.isSet("-m"))
        layout->addWidget(new QLabel(flags.arg("-m").asChar(), &dialog));
    auto* field = new QLineEdit(flags.arg("-tx").asChar(), &dialog);
    field->setObjectName("text");
    layout->addWidget(field);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);

    MString pressed = flags.isSet("-ds") ? flags.arg("-ds") : MString("dismiss");
    const unsigned buttons = flags.uses("-b");
    for (unsigned i = 0; i < (buttons ? buttons : 1u); ++i) {
        const MString label = buttons ? flags.arg("-b", i) : MString("OK");
        auto* button = new QPushButton(label.asChar(), &dialog);
        button->setObjectName(label.asChar());
        button->setDefault(flags.isSet("-db") && flags.arg("-db") == label);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &pressed, label, &flags]() {
            pressed = label;
            if (flags.isSet("-cb") && flags.arg("-cb") == label)
                dialog.reject();
            else
                dialog.accept();
        });
        row->addWidget(button);
    }
    dialog.exec();
    lastText() = field->text().toStdString().c_str();
    setResult(pressed);
    return MS::kSuccess;
}

} // namespace host
