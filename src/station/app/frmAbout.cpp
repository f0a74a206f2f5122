#include "station/app/frmAbout.h"

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {

frmAbout::frmAbout(StationContext& ctx, bool splash, QWidget* parent)
    : QDialog(parent), hold_(ctx.splashHold) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(splash ? QStringLiteral("Initializing...")
                          : QStringLiteral("About %1").arg(QLatin1String(kProductName)));

    auto* title = Named<QLabel>(
        this, "sspTitle",
        QStringLiteral("%1 %2").arg(QLatin1String(kProductName), QLatin1String(kProductVersion)));
    title->setAlignment(Qt::AlignCenter);
    title->setFrameStyle(QFrame::Panel | QFrame::Raised);
    title->setMargin(16);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    title->setFont(big);

    auto* subtitle = Named<QLabel>(this, "lblSubtitle", QStringLiteral("Client testing station"));
    subtitle->setAlignment(Qt::AlignCenter);

    MenuChoices* menu = AddMenu(this, "frMenu", {{QStringLiteral("OK"), QString()}}, nullptr,
                                [this](int) { accept(); });
    menu->Frame()->setVisible(!splash);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addWidget(menu->Frame(), 0, Qt::AlignHCenter);
    setMinimumWidth(360);
    FitAndCenter(this, splash ? nullptr : menu->Button(0));

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
