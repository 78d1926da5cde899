#pragma once
// What the player window shows while an Internet command transfers: the
// progress window (opened at the first progress, unless "HideProgress"),
// and, without "Async", the main window taking no input meanwhile.

#include "services/internet_service.h"
#include "windows/mail_progress_form.h"

#include <QPointer>

#include <memory>

namespace tomeric {

class TWorkForm;

class TTransferProgress final : public TTransferView {
public:
    explicit TTransferProgress(TWorkForm& form) : form_(form) {}
    ~TTransferProgress() override;

    void Begin(const QString& message, bool showProgress, bool holdInput) override;
    void Progress(int value) override;
    bool CancelRequested() const override;
    void End() override;

private:
    TWorkForm& form_;
    QString message_;
    bool showProgress_ = false;
    bool heldInput_ = false;
    std::unique_ptr<TMailProgressForm> dialog_;
};

} // namespace tomeric
