#include "shell/about_dlg.h"

#include "controls/resource_lookup.h"
#include "shell/about_texts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace orvel {

namespace {

constexpr int kIconSize = 32;

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(kAboutCaption));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(loadIconResource(kApplicationIconId).pixmap(kIconSize, kIconSize));
    auto* version = new QLabel(QString::fromUtf8(kAboutVersionLine), this);
    version->setTextFormat(Qt::PlainText);
    auto* about = new QLabel(QString::fromUtf8(kAboutSecondLine), this);
    about->setTextFormat(Qt::PlainText);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(about, 1, 1);
    layout->addWidget(ok, 2, 1, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace orvel
