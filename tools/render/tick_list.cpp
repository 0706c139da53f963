#include "tick_list.h"

#include <charconv>
#include <limits>
#include <string>

#include "usage_error.h"

namespace vyla::render {

namespace {

std::uint32_t ParseTick(std::string_view text, std::string_view item)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end || value > std::numeric_limits<std::uint32_t>::max())
        throw UsageError("--ticks: \"" + std::string(item) + "\" is not an unsigned 32-bit number or range A:B:STEP");
    return static_cast<std::uint32_t>(value);
}

}  // namespace

TickList TickList::Parse(std::string_view text)
{
    if (text.empty())
        throw UsageError("--ticks: the list is empty");
    TickList list;
    std::size_t pos = 0;
    for (;;) {
        std::size_t comma = text.find(',', pos);
        std::string_view item = text.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos);
        std::size_t colon1 = item.find(':');
        if (colon1 == std::string_view::npos) {
            list.segments_.push_back(Segment{ParseTick(item, item), 1, 1});
        } else {
            std::size_t colon2 = item.find(':', colon1 + 1);
            if (colon2 == std::string_view::npos || item.find(':', colon2 + 1) != std::string_view::npos)
                throw UsageError("--ticks: \"" + std::string(item) + "\" is not a range A:B:STEP");
            std::uint32_t first = ParseTick(item.substr(0, colon1), item);
            std::uint32_t last = ParseTick(item.substr(colon1 + 1, colon2 - colon1 - 1), item);
            std::uint32_t step = ParseTick(item.substr(colon2 + 1), item);
            if (step == 0)
                throw UsageError("--ticks: \"" + std::string(item) + "\" has a step of 0");
            if (last < first)
                throw UsageError("--ticks: \"" + std::string(item) + "\" ends before it starts");
            list.segments_.push_back(Segment{first, step, std::uint64_t{last - first} / step + 1});
        }
        list.count_ += list.segments_.back().count;
        if (comma == std::string_view::npos)
            break;
        pos = comma + 1;
    }
    return list;
}

std::uint32_t TickList::Front() const
{
    return segments_.empty() ? 0 : segments_.front().first;
}

std::uint32_t TickList::Back() const
{
    if (segments_.empty())
        return 0;
    const Segment& s = segments_.back();
    return static_cast<std::uint32_t>(s.first + (s.count - 1) * s.step);
}

std::uint32_t TickList::Reader::Next()
{
    const Segment& s = list_->segments_[segment_];
    auto tick = static_cast<std::uint32_t>(s.first + index_ * s.step);
    if (++index_ == s.count) {
        index_ = 0;
        ++segment_;
    }
    return tick;
}

std::vector<std::uint32_t> TickList::ToVector() const
{
    std::vector<std::uint32_t> ticks;
    for (Reader r = Read(); !r.Done();)
        ticks.push_back(r.Next());
    return ticks;
}

}  // namespace vyla::render
