#include "views/ScriptEditor.h"

#include "commands/MessageOutput.h"
#include "commands/Session.h"
#include "commands/mel/MelInterpreter.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCharFormat>
#include <QThread>

#include <string>
#include <vector>

namespace host {

namespace {

// Runs `show` on the widget's thread (messages may come from draw threads).
template <class Widget, class Show>
void onGuiThread(Widget* widget, Show show)
{
    if (QThread::currentThread() == widget->thread()) {
        show();
        return;
    }
    QPointer<Widget> guard(widget);
    QMetaObject::invokeMethod(
        widget, [guard, show] { if (guard) show(); }, Qt::QueuedConnection);
}

QString lineOf(MessageKind kind, const MString& text)
{
    const QString body = QString::fromUtf8(text.asChar());
    switch (kind) {
    case MessageKind::kWarning: return "// Warning: " + body + " //\n";
    case MessageKind::kError: return "// Error: " + body + " //\n";
    case MessageKind::kInfo: return body + "\n";
    case MessageKind::kPrint: return body;
    }
    return body;
}

class ScriptOutput : public QPlainTextEdit
{
public:
    explicit ScriptOutput(QWidget* parent) : QPlainTextEdit(parent)
    {
        setObjectName("scriptEditorOutput");
        setReadOnly(true);
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setMaximumBlockCount(20000);
        setFocusPolicy(Qt::ClickFocus);
        QFont font("monospace");
        font.setStyleHint(QFont::TypeWriter);
        setFont(font);
        fListener = addMessageListener([this](MessageKind kind, const MString& text) {
            const QString line = lineOf(kind, text);
            onGuiThread(this, [this, kind, line] { append(kind, line); });
        });
    }
    ~ScriptOutput() override { removeMessageListener(fListener); }

private:
    void append(MessageKind kind, const QString& text)
    {
        QTextCharFormat format;
        if (kind == MessageKind::kError)
            format.setForeground(QColor(255, 110, 110));
        else if (kind == MessageKind::kWarning)
            format.setForeground(QColor(240, 190, 80));
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text, format);
        ensureCursorVisible();
        moveCursor(QTextCursor::End);
    }

    int fListener = 0;
};

// The command field: Return runs it, Up and Down walk through what was run before.
class CommandField : public QLineEdit
{
public:
    explicit CommandField(QWidget* parent) : QLineEdit(parent) { setObjectName("commandLine"); }

    std::vector<QString> history;
    size_t position = 0;  // history.size(): past the newest
    QString typed;        // what was being typed before walking the history

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && !history.empty()) {
            if (position == history.size())
                typed = text();
            if (event->key() == Qt::Key_Up && position > 0)
                --position;
            else if (event->key() == Qt::Key_Down && position < history.size())
                ++position;
            setText(position < history.size() ? history[position] : typed);
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

class CommandLine : public QWidget
{
public:
    explicit CommandLine(QWidget* parent) : QWidget(parent)
    {
        setObjectName("commandLineRow");
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(4, 2, 4, 2);
        auto* language = new QLabel("MEL", this);
        fField = new CommandField(this);
        fResponse = new QLabel(this);
        fResponse->setObjectName("commandResponse");
        fResponse->setMinimumWidth(200);
        fResponse->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(language);
        layout->addWidget(fField, 3);
        layout->addWidget(fResponse, 2);
        connect(fField, &QLineEdit::returnPressed, this, [this] { run(); });
        // Warnings and errors from anything (a menu item, a hotkey, a script) show here too.
        fListener = addMessageListener([this](MessageKind kind, const MString& text) {
            if (kind != MessageKind::kWarning && kind != MessageKind::kError)
                return;
            const QString line = lineOf(kind, text).trimmed();
            onGuiThread(this, [this, kind, line] { respond(line, kind); });
        });
    }
    ~CommandLine() override { removeMessageListener(fListener); }

private:
    void respond(const QString& text, MessageKind kind)
    {
        fResponse->setText(text);
        fResponse->setToolTip(text);
        const char* style = kind == MessageKind::kError     ? "background-color: rgb(190, 40, 40); color: white;"
                            : kind == MessageKind::kWarning ? "background-color: rgb(220, 170, 40); color: black;"
                                                            : "";
        fResponse->setStyleSheet(style);
    }

    void run()
    {
        const QString text = fField->text();
        if (text.trimmed().isEmpty())
            return;
        fField->history.push_back(text);
        fField->position = fField->history.size();
        fField->clear();
        respond(QString(), MessageKind::kPrint);
        // The command as typed goes first, as in Maya's history.
        writeMessage(MessageKind::kPrint, MString(text.toUtf8().constData()) + "\n");
        MelInterpreter::Options options;
        options.onResult = [this](const MelValue& value) {
            const MString line = MString("// Result: ") + value.asString() + " //";
            writeMessage(MessageKind::kPrint, line + "\n");
            respond(QString::fromUtf8(line.asChar()), MessageKind::kPrint);
        };
        // Run as typed: undoable, then whatever it queued for idle time.
        const QByteArray utf8 = text.toUtf8();
        if (MelInterpreter::run(MString(utf8.constData(), utf8.size()), options))
            runIdleCommands();
    }

    CommandField* fField = nullptr;
    QLabel* fResponse = nullptr;
    int fListener = 0;
};

} // namespace

QWidget* createScriptOutput(QWidget* parent)
{
    return new ScriptOutput(parent);
}

QWidget* createCommandLine(QWidget* parent)
{
    return new CommandLine(parent);
}

} // namespace host
