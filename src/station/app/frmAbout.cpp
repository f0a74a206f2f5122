#include "station/app/frmAbout.h"

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "station/app/StationContext.h"
#include "station/screen/MenuChoices.h"
#include "station/screen/ScreenHelpers.h"

namespace mw {

frmAbout::frmAbout(StationContext& ctx, bool splash, QWidget* parent)
    : QDialog(parent), hold_(ctx.splashHold) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(splash ? QStringLiteral("Initializing...")
                          : QStringLiteral("About %1").arg(kProductName));

    auto* title = new QLabel(QStringLiteral("%1 %2").arg(kProductName, kProductVersion), this);
    title->setObjectName(QStringLiteral("sspTitle"));
    title->setAlignment(Qt::AlignCenter);
    title->setFrameStyle(QFrame::Panel | QFrame::Raised);
    title->setMargin(16);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    title->setFont(big);

    auto* subtitle = new QLabel(QStringLiteral("Client testing station"), this);
    subtitle->setObjectName(QStringLiteral("lblSubtitle"));
    subtitle->setAlignment(Qt::AlignCenter);

    auto* menuFrame = new QWidget(this);
    menuFrame->setObjectName(QStringLiteral("frMenu"));
    auto* menu = new MenuChoices(menuFrame, {{QStringLiteral("OK"), QString()}}, nullptr);
    connect(menu, &MenuChoices::Chosen, this, &QDialog::accept);
    menuFrame->setVisible(!splash);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addWidget(menuFrame, 0, Qt::AlignHCenter);
    setMinimumWidth(360);
    adjustSize();
    CenterForm(this);
    if (!splash) menu->Focus(0);

    timSplash_.setInterval(50);
    connect(&timSplash_, &QTimer::timeout, this, &frmAbout::timSplash_Timer);
}

void frmAbout::ShowSplash() {
    QEventLoop wait;
    connect(this, &frmAbout::Faded, &wait, &QEventLoop::quit);
    show();
    shown_.start();
    timSplash_.start();
    if (!fadeDone_) wait.exec();
}

void frmAbout::timSplash_Timer() {
    if (shown_.elapsed() < hold_.count()) return;
    timSplash_.stop();
    fadeDone_ = true;
    emit Faded();
}

}  // namespace mw
