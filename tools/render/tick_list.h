// The tick counts the clock shows at successive idle calls: a list of single
// values and ranges "A:B:STEP" (A, A+STEP, ... up to B inclusive), separated
// by commas. Ranges are kept as ranges, so a long list costs no memory.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vyla::render {

class TickList {
public:
    // Throws UsageError naming the faulty item.
    static TickList Parse(std::string_view text);

    std::uint64_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    std::uint32_t Front() const;
    std::uint32_t Back() const;

    // Walks the list once, front to back.
    class Reader {
    public:
        explicit Reader(const TickList& list) : list_(&list) {}
        bool Done() const { return segment_ >= list_->segments_.size(); }
        // The next tick; only when not Done().
        std::uint32_t Next();

    private:
        const TickList* list_;
        std::size_t segment_ = 0;
        std::uint64_t index_ = 0;
    };
    Reader Read() const { return Reader(*this); }

    std::vector<std::uint32_t> ToVector() const;  // for small lists only

private:
    struct Segment {
        std::uint32_t first;
        std::uint32_t step;
        std::uint64_t count;
    };
    std::vector<Segment> segments_;
    std::uint64_t count_ = 0;
};

}  // namespace vyla::render
