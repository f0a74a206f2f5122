#include "core/report/ReportPage.h"

#include "core/report/ParagraphPrinter.h"

namespace mw {

ReportPage& ReportPage::Column(int n) {
    const std::size_t target = static_cast<std::size_t>(n - 1);
    if (out_.size() - lineStart_ > target) End();
    out_.resize(lineStart_ + target, ' ');
    return *this;
}

ReportPage& ReportPage::Justified(std::string_view line) {
    AppendJustified(out_, line);
    return *this;
}

ReportPage& ReportPage::Number(int value) {
    out_ += value < 0 ? '-' : ' ';
    out_ += std::to_string(value < 0 ? -value : value);
    out_ += ' ';
    return *this;
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
