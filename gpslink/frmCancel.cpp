#include "gpslink/frmCancel.h"

#include "gpslink/GpsLink.h"
#include "model/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

frmCancel::frmCancel(GpsLink& link, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), Label1(new QLabel(this)),
      Command1(new QPushButton(QStringLiteral("Cancel"), this)), lblProgress(new QLabel(this)),
      prgProgress(new QProgressBar(this)), link_(link)
{
    setObjectName(QStringLiteral("frmCancel"));
    setWindowTitle(QStringLiteral("Navora"));
    setAttribute(Qt::WA_QuitOnClose, false);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->resize(Twips(1215), Twips(375));
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    prgProgress->setObjectName(QStringLiteral("prgProgress"));
    prgProgress->setTextVisible(false);
    lblProgress->hide();
    prgProgress->hide();
    connect(Command1, &QPushButton::clicked, this, [this] { link_.SetCancelled(true); });
    setFixedSize(Twips(5220), Twips(1290));
}

int frmCancel::Twips(int twips) const
{
    return TwipsToPixels(twips, logicalDpiX());
}

void frmCancel::ShowActivity(const QString& activity)
{
    Label1->setText(activity);
    lblProgress->hide();
    prgProgress->hide();
    Arrange();
    if (!placed_) {
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - rect().center());
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

bool frmCancel::Running() const
{
    return link_.Busy() && !link_.Cancelled();
}

void frmCancel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || isActiveWindow() || !isVisible())
        return;
    if (!Running() || QApplication::activeModalWidget())
        return;
    // Later, once the window that took the activation has it.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && Running() && !QApplication::activeModalWidget()) {
            raise();
            activateWindow();
        }
    });
}

// The close box cannot take the window away from a running exchange; it asks
// to cancel like the button.
void frmCancel::closeEvent(QCloseEvent* event)
{
    event->ignore();
    link_.SetCancelled(true);
}

void frmCancel::ShowProgress(int done, int total)
{
    if (total > 0) {
        lblProgress->setText(QStringLiteral("%1 of %2").arg(done).arg(total));
        prgProgress->setRange(0, total);
        prgProgress->setValue(done);
    } else {
        lblProgress->setText(QStringLiteral("%1 received").arg(done));
    }
    const bool arrange = lblProgress->isHidden() || prgProgress->isHidden() != (total <= 0);
    lblProgress->setVisible(true);
    prgProgress->setVisible(total > 0);
    if (arrange)
        Arrange();
}

void frmCancel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Arrange();
}

void frmCancel::Arrange()
{
    const int margin = Twips(120);
    const int buttonTop = height() - Command1->height() - margin;
    Command1->move((width() - Command1->width()) / 2, buttonTop);
    if (lblProgress->isHidden()) {
        Label1->setGeometry(0, 0, width(), buttonTop);
        return;
    }
    // The progress takes a row above the button; the text keeps the rest.
    const int row = qMax(Twips(240), lblProgress->sizeHint().height());
    const int rowTop = buttonTop - margin / 2 - row;
    Label1->setGeometry(0, 0, width(), rowTop);
    if (prgProgress->isHidden()) {
        lblProgress->setAlignment(Qt::AlignCenter);
        lblProgress->setGeometry(margin, rowTop, width() - 2 * margin, row);
        return;
    }
    const int labelWidth = Twips(1500);
    lblProgress->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblProgress->setGeometry(margin, rowTop, labelWidth, row);
    prgProgress->setGeometry(2 * margin + labelWidth, rowTop, width() - 3 * margin - labelWidth,
                             row);
}
