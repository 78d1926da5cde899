#include "objects/progress_bar.h"

#include <algorithm>
#include <climits>

namespace tomeric {

TTomericProgressBar::TTomericProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void TTomericProgressBar::SetMin(int value)
{
    const int max = maximum() < value ? (value == INT_MAX ? value : value + 1) : maximum();
    setRange(value, max);
}

void TTomericProgressBar::SetMax(int value)
{
    if (value < minimum())
        value = minimum() == INT_MAX ? minimum() : minimum() + 1;
    setRange(minimum(), value);
}

void TTomericProgressBar::SetPosition(int value)
{
    setValue(std::clamp(value, minimum(), maximum()));
}

void TTomericProgressBar::StepIt()
{
    const long long next = static_cast<long long>(value()) + step_;
    SetPosition(int(std::clamp<long long>(next, minimum(), maximum())));
}

void TTomericProgressBar::SetOrientation(int orientation)
{
    setOrientation(orientation == pbVertical ? Qt::Vertical : Qt::Horizontal);
}

} // namespace tomeric
