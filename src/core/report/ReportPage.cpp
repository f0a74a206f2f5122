#include "core/report/ReportPage.h"

namespace mw {

ReportPage& ReportPage::Skip(int n) {
    line_.append(static_cast<std::size_t>(n), ' ');
    return *this;
}

ReportPage& ReportPage::Column(int n) {
    const std::size_t target = static_cast<std::size_t>(n - 1);
    if (line_.size() > target) End();
    line_.resize(target, ' ');
    return *this;
}

ReportPage& ReportPage::Text(std::string_view text) {
    line_ += text;
    return *this;
}

ReportPage& ReportPage::Number(int value) {
    line_ += value < 0 ? "-" : " ";
    line_ += std::to_string(value < 0 ? -value : value);
    line_ += ' ';
    return *this;
}

void ReportPage::End() {
    out_ += line_;
    out_ += "\r\n";
    line_.clear();
}

void ReportPage::FormFeed() {
    Text("\f");
    End();
}

void ReportPage::NewPage() {
    ++page;
    FormFeed();
    Skip(7).Text("NAME: ").Text(clientName_).Column(41).Text("-");
    Text(std::to_string(page % 10)).Text("-").Column(62).Text("MIRRORWISE REPORT");
    End();
    End();
    counter = 2;
}

}  // namespace mw
