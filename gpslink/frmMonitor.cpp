#include "gpslink/frmMonitor.h"

#include "model/Twips.h"
#include "model/UserInteraction.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QThread>
#include <algorithm>
#include <memory>

frmMonitor::frmMonitor(QWidget* parent)
    : QWidget(parent, Qt::Window), txtTerm(new QPlainTextEdit(this)),
      btnSave(new QPushButton(QStringLiteral("Save..."), this)),
      btnClose(new QPushButton(QStringLiteral("Close"), this))
{
    setObjectName(QStringLiteral("frmMonitor"));
    setWindowTitle(QStringLiteral("Navora - Monitor"));
    // An open monitor must not keep the program running after the main window closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    txtTerm->setObjectName(QStringLiteral("txtTerm"));
    txtTerm->setReadOnly(true);
    txtTerm->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtTerm->installEventFilter(this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->resize(Twips(1095), Twips(375));
    connect(btnSave, &QPushButton::clicked, this, &frmMonitor::btnSave_Click);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->resize(Twips(1095), Twips(375));
    connect(btnClose, &QPushButton::clicked, this, &frmMonitor::CloseRequested);
    resize(Twips(6705), Twips(4935));
}

frmMonitor::~frmMonitor()
{
    for (QThread* saver : savers_) {
        saver->wait();
        delete saver;
    }
}

int frmMonitor::Twips(int twips) const
{
    return TwipsToPixels(twips, logicalDpiX());
}

void frmMonitor::Load()
{
    txtTerm->clear();
    protocol_.Clear();
    QPalette palette = txtTerm->palette();
    palette.setColor(QPalette::Text, QColor(0, 0, 255));
    txtTerm->setPalette(palette);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    loaded_ = true;
}

void frmMonitor::ShowMonitor()
{
    if (!loaded_)
        Load();
    show();
    raise();
}

void frmMonitor::ShowData(const QString& text)
{
    protocol_.Add(text);
    QTextDocument* log = txtTerm->document();
    QTextCursor cursor(log);
    // The document counts one more character than it shows.
    if (log->characterCount() - 1 > kLogLimit) {
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, kLogTrim);
        cursor.removeSelectedText();
    }
    // Lines end in CR LF on the wire; the log breaks lines at LF alone.
    QString shown = text;
    shown.remove(u'\r');
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown);
    txtTerm->setTextCursor(cursor);
    txtTerm->ensureCursorVisible();
}

QString frmMonitor::Log() const
{
    return txtTerm->toPlainText();
}

void frmMonitor::btnSave_Click()
{
    // Window-modal and not waited for: this click may have come in the middle
    // of an exchange, which goes on while the user picks a file.
    auto* dialog = new QFileDialog(this, QStringLiteral("Navora - Save Monitor Log"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilter(QStringLiteral("Log Files (*.log);;All Files (*)"));
    dialog->setDefaultSuffix(QStringLiteral("log"));
    dialog->selectFile(QStringLiteral("navora-") +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                       QStringLiteral(".log"));
    connect(dialog, &QFileDialog::fileSelected, this, &frmMonitor::SaveLog);
    dialog->open();
}

void frmMonitor::SaveLog(const QString& path)
{
    auto error = std::make_shared<std::optional<QString>>();
    QThread* saver =
        QThread::create([path, entries = protocol_.Entries(), dropped = protocol_.Dropped(),
                         error] { *error = SaveProtocolLog(path, entries, dropped); });
    savers_.push_back(saver);
    connect(saver, &QThread::finished, this, [this, saver, path, error] {
        savers_.erase(std::remove(savers_.begin(), savers_.end(), saver), savers_.end());
        saver->deleteLater();
        if (*error) {
            // Shown without waiting for it, for the same reason as the file dialog.
            auto* box = new QMessageBox(
                QMessageBox::Warning, kProgramTitle,
                QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) +
                    QStringLiteral("\r\n") + QStringLiteral(" could not be written: ") + **error,
                QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        }
        emit LogSaved(path, error->value_or(QString()));
    });
    saver->start();
}

void frmMonitor::closeEvent(QCloseEvent* event)
{
    loaded_ = false;
    event->accept();
    emit CloseRequested();
}

void frmMonitor::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    const int h = height();
    if (w < Twips(1500) || h < Twips(1500))
        return;
    txtTerm->setGeometry(0, 0, w, h - Twips(600));
    // The two buttons side by side, centred together.
    const int gap = Twips(120);
    const int left = w / 2 - (btnSave->width() + gap + btnClose->width()) / 2;
    const int top = h - Twips(300) - btnClose->height() / 2;
    btnSave->move(left, top);
    btnClose->move(left + btnSave->width() + gap, top);
}

// The log can be copied but not edited: every key but Ctrl+C is dropped.
bool frmMonitor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtTerm &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy))
            return false;
        event->accept();
        return event->type() == QEvent::KeyPress;
    }
    return QWidget::eventFilter(watched, event);
}
