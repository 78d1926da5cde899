#include "pages/transitions.h"

#include "pages/transition_run.h"

#include <QPainter>
#include <QThread>

#include <algorithm>

namespace tomeric {

using namespace transition_detail;

namespace {

struct EffectRow {
    const char* name;
    EffectFunction run;
};

// Indexed like TTransitionEffect; "None" is a plain copy.
const std::array<EffectRow, kTransitionEffectCount> kEffects = {{
    {"None", RunCopy},
    {"Dissolve", RunDissolve},
    {"Slide Left", RunSlideLeft},
    {"Slide Right", RunSlideRight},
    {"Slide Up", RunSlideUp},
    {"Slide Down", RunSlideDown},
    {"Explode", RunExplode},
    {"Implode", RunImplode},
    {"Weave Horizontal", RunWeaveHorizontal},
    {"Weave Vertical", RunWeaveVertical},
    {"Split Horizontal", RunSplitHorizontal},
    {"Split Vertical", RunSplitVertical},
    {"Wipe Left", RunWipeLeft},
    {"Wipe Right", RunWipeRight},
    {"Wipe Up", RunWipeUp},
    {"Wipe Down", RunWipeDown},
    {"Circle", RunCircle},
    {"Grow", RunGrow},
    {"Blocks", RunBlocks},
    {"Checkerboard", RunCheckerboard},
    {"Block Dissolve", RunBlockDissolve},
    {"Fade", RunFade},
    {"Transparent", RunTransparent},
    {"Page Turn", RunPageTurn},
}};

constexpr int kDefaultDelayLevel = 5;
constexpr int kMaxDelayLevel = 10;

// The new picture is drawn at the area's top-left corner; the effect covers
// the part of the area the picture covers.
QRect EffectRect(const QRect& area, const QImage& picture) {
    return QRect(area.topLeft(), picture.size()).intersected(area);
}

} // namespace

const std::array<TDitherPattern, 8> kDissolvePatterns = {{
    {0xFF, 0xFF, 0x77, 0xFF, 0xFF, 0xFF, 0x77, 0xFF},
    {0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF},
    {0x55, 0xFF, 0x55, 0xFF, 0x55, 0xFF, 0x55, 0xFF},
    {0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55, 0xEE},
    {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA},
    {0x44, 0xAA, 0x11, 0xAA, 0x44, 0xAA, 0x11, 0xAA},
    {0x00, 0xAA, 0x00, 0xAA, 0x00, 0xAA, 0x00, 0xAA},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
}};

const std::array<TDitherPattern, 8> kBlockDissolvePatterns = {{
    {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0x3F, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0x1F, 0x1F, 0x1F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0x0F, 0x0F, 0x0F, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF},
    {0x07, 0x07, 0x07, 0x07, 0x07, 0xFF, 0xFF, 0xFF},
    {0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0xFF, 0xFF},
    {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xFF},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
}};

bool DitherKeepsOld(const TDitherPattern& pattern, int x, int y) {
    const std::uint8_t row = pattern[std::size_t(7 - (y & 7))]; // first byte: bottom row
    return (row >> (7 - (x & 7)) & 1) != 0;
}

std::optional<TTransitionEffect> TransitionEffectByName(const QString& name) {
    for (int i = 0; i < kTransitionEffectCount; ++i) {
        if (name.compare(QLatin1String(kEffects[std::size_t(i)].name), Qt::CaseInsensitive) == 0)
            return TTransitionEffect(i);
    }
    return std::nullopt;
}

QString TransitionEffectName(TTransitionEffect effect) {
    return QString::fromLatin1(kEffects[std::size_t(effect)].name);
}

int TransitionDelayLevel(const QString& options) {
    bool ok = false;
    const int value = options.trimmed().toInt(&ok);
    return std::clamp(ok ? value : kDefaultDelayLevel, 0, kMaxDelayLevel);
}

void RunTransition(TTransitionSurface& surface, const TTransitionRequest& request,
                   const TTransitionEnvironment& environment) {
    const QImage& picture = request.toPicture.isNull() ? request.view : request.toPicture;
    if (picture.isNull())
        return;
    const QRect rect = EffectRect(request.area, picture);
    if (rect.isEmpty())
        return;
    TransitionRun run(surface, picture, rect, TransitionDelayLevel(request.options), environment);

    const auto effect = TransitionEffectByName(request.name);
    if (!effect) {
        const TPlugInTransitionRequest plugIn{request.name, request.fromPicture, picture,
                                              request.options, request.direction,
                                              rect, &surface};
        if (!environment.plugIns || !environment.plugIns(plugIn))
            run.Copy();
        return;
    }
    kEffects[std::size_t(*effect)].run(run, request);
}

// ---- TransitionRun ------------------------------------------------------------
namespace transition_detail {

TransitionRun::TransitionRun(TTransitionSurface& surface, const QImage& to, const QRect& rect,
                             int level, const TTransitionEnvironment& environment)
    : surface_(surface), to_(to), rect_(rect), level_(level), environment_(environment) {}

void TransitionRun::RevealRegion(const QRegion& clip, int x, int y) {
    const QRegion inside = clip.intersected(rect_);
    if (inside.isEmpty())
        return;
    QPainter painter(&Canvas());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setClipRegion(inside);
    painter.drawImage(QPoint(x, y), to_);
}

void TransitionRun::Reveal(const QRect& clip, int x, int y) { RevealRegion(QRegion(clip), x, y); }

void TransitionRun::Copy() {
    Reveal(rect_, Left(), Top());
    surface_.Present(rect_);
}

void TransitionRun::CopyClipped(const QRegion& clip) {
    RevealRegion(clip, Left(), Top());
    surface_.Present(rect_);
}

void TransitionRun::DrawStretched(const QRect& target, const QImage& picture,
                                  const QRect& source) {
    if (target.isEmpty() || source.isEmpty())
        return;
    QPainter painter(&Canvas());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setClipRect(rect_);
    painter.drawImage(target, picture, source);
}

void TransitionRun::Blend(const QImage& picture, int opacity) {
    QPainter painter(&Canvas());
    painter.setClipRect(rect_);
    painter.setOpacity(opacity / 255.0);
    painter.drawImage(rect_.topLeft(), picture);
}

void TransitionRun::Scroll(int dx, int dy) {
    const QImage contents = Canvas().copy(rect_);
    QPainter painter(&Canvas());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setClipRect(rect_);
    painter.drawImage(rect_.topLeft() + QPoint(dx, dy), contents);
}

void TransitionRun::Put(const QImage& picture) {
    QPainter painter(&Canvas());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setClipRect(rect_);
    painter.drawImage(rect_.topLeft(), picture);
}

void TransitionRun::Step(const QRect& dirty, int sleepMs) {
    surface_.Present(dirty.intersected(rect_));
    Sleep(sleepMs);
}

void TransitionRun::Sleep(int ms) {
    if (ms <= 0)
        return;
    if (environment_.sleeper)
        environment_.sleeper(ms);
    else
        QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace transition_detail
} // namespace tomeric
