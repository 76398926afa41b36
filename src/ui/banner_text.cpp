#include "ui/banner_text.h"

#include "settings/text.h"

namespace v270 {

BannerView BannerView::of(const BannerState& state) {
    return BannerView{state.driverWorking.load() != 0, state.startKeyNumber.load(),
                      state.startKeyVisible.load() != 0};
}

std::u16string bannerText(const BannerView& banner, bool english) {
    if (banner.mouseAway)
        return english ? u"The mouse is not connected, waiting for it..."
                       : u"鼠标未连接，等待插入...";
    if (banner.driverWorking)
        return english ? u"OK,driver is working..." : u"驱动运行中...";
    const std::u16string key = banner.startKeyVisible ? formatInt(banner.startKeyNumber) : u" ";
    if (english)
        return u"Configuration done,click key [" + key + u"] to start driver";
    return u"配置完成，请点击鼠标第[" + key + u"]键运行驱动";
}

}  // namespace v270
