#include "ui/Seams.h"

#include "dataset/Errors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextDocument>

namespace ui {

namespace {
RealSeams realSeams;
Seams *current = nullptr;

// Suffix of a filter's first pattern: "Excel 工作簿 (*.xlsx)" gives "xlsx".
QString filterSuffix(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.([^ )]+)"));
    return pattern.match(filter).captured(1);
}
} // namespace

Seams &seams()
{
    return current ? *current : static_cast<Seams &>(realSeams);
}

void install(Seams *s)
{
    current = s;
}

void message(QWidget *parent, const QString &text, const QString &title, Icon icon)
{
    seams().message(parent, text, title, icon);
}

void error(QWidget *parent, const QString &text)
{
    seams().message(parent, text, QString(), Icon::Error);
}

bool confirmYes(QWidget *parent, const QString &text)
{
    return seams().confirmYes(parent, text);
}

void errorLater(const QString &text)
{
    QMetaObject::invokeMethod(
        qApp, [text] { error(QApplication::activeWindow(), text); }, Qt::QueuedConnection);
}

bool ask(QWidget *parent, const QString &text)
{
    return seams().ask(parent, text);
}

void guard(QWidget *parent, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const KorvelError &e) {
        error(parent, e.message());
    } catch (const std::exception &e) {
        error(parent, QString::fromLocal8Bit(e.what()));
    }
}

// ---------------------------------------------------------------- real

void RealSeams::message(QWidget *parent, const QString &text, const QString &title, Icon icon)
{
    QMessageBox::Icon i = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::Information: i = QMessageBox::Information; break;
    case Icon::Warning: i = QMessageBox::Warning; break;
    case Icon::Error: i = QMessageBox::Critical; break;
    case Icon::None: break;
    }
    const QString caption = title.isEmpty() ? QStringLiteral("Korvel商品管理系统") : title;
    QMessageBox box(i, caption, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

bool RealSeams::confirmYes(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("确认"), text, QMessageBox::Yes, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    return box.exec() == QMessageBox::Yes;
}

bool RealSeams::ask(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("确认"), text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

QString RealSeams::openFileName(QWidget *parent, const QString &defaultName, const QString &filter)
{
    QFileDialog dlg(parent);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilter(filter);
    dlg.selectFile(defaultName);
    dlg.setWindowTitle(QStringLiteral("打开"));
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        return dlg.selectedFiles().constFirst();
    return defaultName;
}

QString RealSeams::saveFileName(QWidget *parent, const QString &defaultName, const QString &filters,
                                QString *chosenFilter)
{
    QFileDialog dlg(parent);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters(filters.split(QStringLiteral(";;")));
    if (chosenFilter && !chosenFilter->isEmpty())
        dlg.selectNameFilter(*chosenFilter);
    // A name typed without a suffix gets the one of the filter on show.
    dlg.setDefaultSuffix(filterSuffix(dlg.selectedNameFilter()));
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg,
                     [&dlg](const QString &f) { dlg.setDefaultSuffix(filterSuffix(f)); });
    dlg.selectFile(defaultName);
    dlg.setWindowTitle(QStringLiteral("另存为"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dlg.selectedNameFilter();
    return dlg.selectedFiles().constFirst();
}

bool RealSeams::openDocument(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool RealSeams::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void RealSeams::print(QWidget *parent, const QString &title, QTextDocument &doc)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    QPrintPreviewDialog dlg(&printer, parent);
    dlg.setWindowTitle(QStringLiteral("打印预览 - ") + title);
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&doc](QPrinter *p) { doc.print(p); });
    dlg.resize(1000, 800);
    dlg.exec();
}

// ---------------------------------------------------------------- recording

void RecordingSeams::message(QWidget *, const QString &text, const QString &title, Icon icon)
{
    shown.append({QStringLiteral("message"), title, text, icon});
}

bool RecordingSeams::confirmYes(QWidget *, const QString &text)
{
    shown.append({QStringLiteral("confirm"), QString(), text, Icon::None});
    return confirmAnswers.isEmpty() ? false : confirmAnswers.takeFirst();
}

bool RecordingSeams::ask(QWidget *, const QString &text)
{
    shown.append({QStringLiteral("ask"), QString(), text, Icon::None});
    return askAnswers.isEmpty() ? false : askAnswers.takeFirst();
}

QString RecordingSeams::openFileName(QWidget *, const QString &defaultName, const QString &filter)
{
    shown.append({QStringLiteral("open"), filter, defaultName, Icon::None});
    return fileAnswers.isEmpty() ? defaultName : fileAnswers.takeFirst();
}

QString RecordingSeams::saveFileName(QWidget *, const QString &defaultName, const QString &filters,
                                     QString *chosenFilter)
{
    shown.append({QStringLiteral("save"), filters, defaultName, Icon::None});
    const QString answer = saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    if (chosenFilter && !answer.isEmpty()) {
        const QString suffix = QFileInfo(answer).suffix();
        for (const QString &f : filters.split(QStringLiteral(";;")))
            if (filterSuffix(f).compare(suffix, Qt::CaseInsensitive) == 0)
                *chosenFilter = f;
    }
    return answer;
}

bool RecordingSeams::openDocument(const QString &path)
{
    shown.append({QStringLiteral("document"), QString(), path, Icon::None});
    return documentAnswers.isEmpty() ? true : documentAnswers.takeFirst();
}

bool RecordingSeams::openUrl(const QUrl &url)
{
    shown.append({QStringLiteral("url"), QString(), url.toString(), Icon::None});
    return urlAnswer;
}

void RecordingSeams::print(QWidget *, const QString &title, QTextDocument &doc)
{
    shown.append({QStringLiteral("print"), title, doc.toPlainText(), Icon::None});
    printedText.append(doc.toPlainText());
    if (!pdfPath.isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        doc.print(&printer);
    }
}

QStringList RecordingSeams::messages() const
{
    QStringList out;
    for (const Shown &s : shown)
        if (s.kind == QLatin1String("message"))
            out << s.text;
    return out;
}

QString RecordingSeams::lastMessage() const
{
    const QStringList m = messages();
    return m.isEmpty() ? QString() : m.constLast();
}

void RecordingSeams::clear()
{
    shown.clear();
    printedText.clear();
}

} // namespace ui
