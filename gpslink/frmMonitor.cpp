#include "gpslink/frmMonitor.h"

#include "model/Twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>

frmMonitor::frmMonitor(QWidget* parent)
    : QWidget(parent, Qt::Window), txtTerm(new QPlainTextEdit(this)),
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
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->resize(Twips(1095), Twips(375));
    connect(btnClose, &QPushButton::clicked, this, &frmMonitor::CloseRequested);
    resize(Twips(6705), Twips(4935));
}

int frmMonitor::Twips(int twips) const
{
    return TwipsToPixels(twips, logicalDpiX());
}

void frmMonitor::Load()
{
    txtTerm->clear();
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
    btnClose->move(w / 2 - btnClose->width() / 2, h - Twips(300) - btnClose->height() / 2);
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
