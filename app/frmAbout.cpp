#include "app/frmAbout.h"

#include "app/ToolbarPictures.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Navora"));

    auto* picture = new QLabel(this);
    picture->setPixmap(ToolbarIcon(ToolbarPicture::Connected).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);

    auto* title = new QLabel(QStringLiteral("Navora"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);

    auto* version = new QLabel(QStringLiteral("Version " NAVORA_VERSION), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* description =
        new QLabel(QStringLiteral("Waypoints, routes and the track log between your computer\n"
                                  "and a Magellan hand-held GPS receiver."),
                   this);
    description->setObjectName(QStringLiteral("lblDescription"));

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(text);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
