#pragma once
// TTomericLinkedArticle (type 24): one frame of a chain through which one
// text flows. Frames whose text file names the same file (ignoring case)
// form one chain, in page order and, within a page, in creation order
// (groups and containers included). The first frame holds the chain's text;
// each frame shows the lines that fit in it, and the rest continues in the
// next frame. A resize or font change of any frame, or a variable that a
// field of the text shows, makes the text flow again (one flow for many
// requests, when the event loop comes back).

#include "objects/articles.h"

#include <QPointer>

#include <vector>

namespace tomeric {

class TTomericLinkedArticle : public TBaseArticle {
    Q_OBJECT
public:
    TTomericLinkedArticle(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TTomericLinkedArticle() override;

    // Forms the chains among the linked articles under `roots` (the pages in
    // page order); frames already in a chain are re-linked. Frames without a
    // file name stay alone. The main window calls it once the publication is
    // loaded; OM_INIT does it for the whole window when nobody has.
    static void FormChains(const std::vector<QWidget*>& roots);

    TTomericLinkedArticle* LinkPrev() const { return prev_; }
    TTomericLinkedArticle* LinkNext() const { return next_; }
    // The first frame of the chain (this frame when it is alone).
    TTomericLinkedArticle* Head();

    // The part of the chain's text this frame shows: its first character and
    // how many characters, in positions of the whole text.
    int FlowStart() const { return flowStart_; }
    int FlowLength() const { return flowLength_; }

    // Flows the chain's text through the frames now (on any frame: the head
    // does it).
    void Reflow();
    // Asks for a flow when the event loop comes back; many requests, one flow.
    void RequestReflow();

    // The chain's text is loaded again and flows through the frames.
    void Reload(bool resetScroll) override;
    // Every frame of the chain takes the new file, which is loaded into it.
    void SetTextFile(const QString& name) override;
    // The frame of the chain that shows the bookmark; false when none does.
    bool JumpTo(const QString& bookmark) override;
    // A font change goes to the first frame and the text flows again.
    void SetObjectFont(const TFontChange& change) override;
    // Linked frames do not take the keyboard focus.
    QWidget* FocusTarget() override { return nullptr; }

    void OnInit() override;
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool HearsVariable(const QString& upperName) const override;

protected:
    void LinkClicked(int position) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Unlink();
    // The width and height the frame's text gets.
    QSize TextArea() const;
    void ShowPart(int start, std::unique_ptr<QTextDocument> part, int length);

    QPointer<TTomericLinkedArticle> prev_;
    QPointer<TTomericLinkedArticle> next_;
    // The chain's whole text: held by the first frame only.
    std::unique_ptr<QTextDocument> source_;
    int flowStart_ = 0;
    int flowLength_ = 0;
    bool chained_ = false;
    bool reflowPosted_ = false;
};

TTomericObj* CreateLinkedArticle(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
