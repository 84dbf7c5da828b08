#pragma once
// Everything that would stop a headless run goes through here: message boxes, the
// Yes-only confirmation, the file dialog, the document viewer, the browser and the
// print output. The program installs the real one; tests install a recording one.
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QWidget;
class QTextDocument;

namespace ui {

enum class Icon { None, Information, Warning, Error };

class Seams {
public:
    virtual ~Seams() = default;
    // A modal box with an OK button.
    virtual void message(QWidget *parent, const QString &text, const QString &title, Icon icon) = 0;
    // A confirmation whose only button is Yes; false when the box was closed otherwise.
    virtual bool confirmYes(QWidget *parent, const QString &text) = 0;
    // A question with OK and Cancel (Cancel is the default); true for OK.
    virtual bool ask(QWidget *parent, const QString &text) = 0;
    // File-open dialog; returns the file name the dialog holds afterwards (confirmed or not).
    virtual QString openFileName(QWidget *parent, const QString &defaultName, const QString &filter) = 0;
    // File-save dialog over a list of filters ("a (*.x);;b (*.y)"); chosenFilter comes in as the
    // filter to preselect and goes out as the one the user picked. Empty when cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &defaultName, const QString &filters,
                                 QString *chosenFilter) = 0;
    // Opens a document in its viewer; false if no viewer could be started.
    virtual bool openDocument(const QString &path) = 0;
    virtual bool openUrl(const QUrl &url) = 0;
    // Hands a finished printout to the user: preview dialog with printer and PDF.
    virtual void print(QWidget *parent, const QString &title, QTextDocument &doc) = 0;
};

Seams &seams();
void install(Seams *s);  // takes no ownership; nullptr restores the real one

// Shortcuts used by the screens.
void message(QWidget *parent, const QString &text, const QString &title = QString(), Icon icon = Icon::None);
void error(QWidget *parent, const QString &text);
bool confirmYes(QWidget *parent, const QString &text);
bool ask(QWidget *parent, const QString &text);

// Shows an error from the event loop, not from where it arose: for errors met while a view
// paints or asks for its data, where a modal box must never open.
void errorLater(const QString &text);

// The one place that ends a handler on an error and shows its text.
void guard(QWidget *parent, const std::function<void()> &handler);

// Connects a signal to a handler (taking no arguments) run under guard().
template <typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection on(Sender *sender, Signal signal, Receiver *receiver, Handler handler)
{
    return QObject::connect(sender, signal, receiver, [receiver, handler](auto &&...) {
        guard(qobject_cast<QWidget *>(receiver), handler);
    });
}

// Real implementation with Qt's dialogs.
class RealSeams : public Seams {
public:
    void message(QWidget *parent, const QString &text, const QString &title, Icon icon) override;
    bool confirmYes(QWidget *parent, const QString &text) override;
    bool ask(QWidget *parent, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &defaultName, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &defaultName, const QString &filters,
                         QString *chosenFilter) override;
    bool openDocument(const QString &path) override;
    bool openUrl(const QUrl &url) override;
    void print(QWidget *parent, const QString &title, QTextDocument &doc) override;
};

// Recording implementation for tests: answers are queued, what was shown is kept.
class RecordingSeams : public Seams {
public:
    struct Shown {
        QString kind;   // "message", "confirm", "ask", "open", "save", "document", "url", "print"
        QString title;
        QString text;
        Icon icon = Icon::None;
    };

    void message(QWidget *parent, const QString &text, const QString &title, Icon icon) override;
    bool confirmYes(QWidget *parent, const QString &text) override;
    bool ask(QWidget *parent, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &defaultName, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &defaultName, const QString &filters,
                         QString *chosenFilter) override;
    bool openDocument(const QString &path) override;
    bool openUrl(const QUrl &url) override;
    void print(QWidget *parent, const QString &title, QTextDocument &doc) override;

    // Answers for the next questions, in order.
    QList<bool> confirmAnswers;
    QList<bool> askAnswers;         // OK (true) or Cancel; Cancel when none is queued
    QStringList fileAnswers;        // file name held by the dialog afterwards
    // File names chosen in the save dialog (an empty one cancels; cancelled when none is
    // queued); the filter picked is the one whose pattern matches the name's suffix.
    QStringList saveAnswers;
    QList<bool> documentAnswers;    // whether the viewer opens the document
    bool urlAnswer = true;
    QString pdfPath;                // when set, printouts are also written there as PDF

    QList<Shown> shown;
    QStringList printedText;        // plain text of each printout
    QStringList messages() const;   // texts of the message boxes, in order
    QString lastMessage() const;
    void clear();
    // Answers left unused: a test that queues more than it uses is wrong.
    bool allAnswersUsed() const
    {
        return confirmAnswers.isEmpty() && askAnswers.isEmpty() && fileAnswers.isEmpty() && saveAnswers.isEmpty() &&
               documentAnswers.isEmpty();
    }
};

} // namespace ui
