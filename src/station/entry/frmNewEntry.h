// "Client Responses": the 160 answers of a paper answer sheet keyed into one
// grid per answer format, or an existing client's answers corrected. Save
// stores the client through the client store; Cancel of a new client blanks
// the slot and writes nothing.
#pragma once

#include <QDialog>

namespace mw {

struct StationContext;

class frmNewEntry : public QDialog {
    Q_OBJECT

public:
    frmNewEntry(StationContext& ctx, QWidget* parent);
    ~frmNewEntry() override;

private:
    StationContext& ctx_;
};

}  // namespace mw
