#pragma once
// The main window's script editing parts, as Maya's: the script output pane (what
// commands print, "// Result: ... //", "// Warning: ... //" and "// Error: ... //"
// lines, the commands typed echoed first) and the command line under the views,
// which runs MEL as typed (undoable) with Up/Down through what was typed before and,
// beside it, the last result, warning or error.

class QWidget;

namespace host {

// The pane ("scriptEditorOutput", a read-only QPlainTextEdit); it shows every message
// written while it lives.
QWidget* createScriptOutput(QWidget* parent);
// The command line row: "commandLine" (a QLineEdit) and "commandResponse" (a QLabel).
QWidget* createCommandLine(QWidget* parent);

} // namespace host
