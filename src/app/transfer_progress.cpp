#include "app/transfer_progress.h"

#include "app/work_form.h"

namespace tomeric {

TTransferProgress::~TTransferProgress() = default;

void TTransferProgress::Begin(const QString& message, bool showProgress, bool holdInput)
{
    message_ = message;
    showProgress_ = showProgress;
    heldInput_ = holdInput && form_.isEnabled();
    if (heldInput_)
        form_.setEnabled(false);
}

void TTransferProgress::Progress(int value)
{
    if (!showProgress_)
        return;
    if (!dialog_) {
        dialog_ = std::make_unique<TMailProgressForm>(form_.Dialogs().Look(), form_.Publication().settings.title,
                                                      message_);
        dialog_->show();
    }
    dialog_->SetProgress(value);
}

bool TTransferProgress::CancelRequested() const
{
    return dialog_ && dialog_->CancelPressed();
}

void TTransferProgress::End()
{
    dialog_.reset();
    if (heldInput_)
        form_.setEnabled(true);
    heldInput_ = false;
}

} // namespace tomeric
