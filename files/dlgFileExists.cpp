#include "files/dlgFileExists.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

dlgFileExists::dlgFileExists(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      Label1(new QLabel(this)), AppendButton(new QPushButton(QStringLiteral("Append"), this)),
      OverwriteButton(new QPushButton(QStringLiteral("Overwrite"), this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Navora - File Exists"));
    setModal(true);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    AppendButton->setObjectName(QStringLiteral("AppendButton"));
    OverwriteButton->setObjectName(QStringLiteral("OverwriteButton"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AppendButton);
    buttons->addWidget(OverwriteButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(AppendButton, &QPushButton::clicked, this, &dlgFileExists::AppendButton_Click);
    connect(OverwriteButton, &QPushButton::clicked, this, &dlgFileExists::OverwriteButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgFileExists::CancelButton_Click);
}

FileExistsAnswer dlgFileExists::Ask(const QString& text)
{
    Label1->setText(text);
    exec();
    return answer_;
}

void dlgFileExists::showEvent(QShowEvent* event)
{
    // Whatever closes the dialog other than a button leaves this answer.
    answer_ = FileExistsAnswer::Cancel;
    QDialog::showEvent(event);
}

void dlgFileExists::AppendButton_Click()
{
    answer_ = FileExistsAnswer::Append;
    accept();
}

void dlgFileExists::OverwriteButton_Click()
{
    answer_ = FileExistsAnswer::Overwrite;
    accept();
}

void dlgFileExists::CancelButton_Click()
{
    answer_ = FileExistsAnswer::Cancel;
    reject();
}
