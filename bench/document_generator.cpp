#include "document_generator.h"

#include "outline/custom_outline.h"

namespace virevi::bench {

std::vector<std::int32_t> GenerateLevels(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::int32_t> levels;
    levels.reserve(count);
    std::int32_t level = 1;
    for (std::size_t i = 0; i < count; ++i) {
        levels.push_back(level);
        const std::uint32_t roll = random() % 100;
        if (roll < 30 && level < 8) {
            ++level;
        } else if (roll >= 75 && level > 1) {
            // Climb a random number of levels, so top-level items stay a few percent.
            level -= 1 + static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(level));
            level = level < 1 ? 1 : level;
        }
    }
    return levels;
}

std::string GenerateCaption(std::mt19937& random) {
    const std::size_t length = 4 + random() % 37;
    std::string caption;
    while (caption.size() < length) {
        if (random() % 3 == 0 && caption.size() + 2 <= length) {
            caption.push_back(static_cast<char>(0x82 + random() % 2));
            caption.push_back(static_cast<char>(0x9F + random() % 0x50));
        } else {
            caption.push_back(static_cast<char>('!' + random() % 94));
        }
    }
    return caption;
}

std::size_t BuildOutline(TCustomOutline& outline, const std::vector<std::int32_t>& levels,
                         std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::int32_t> lastAtLevel{0};
    std::size_t captionBytes = 0;
    for (const std::int32_t level : levels) {
        const std::string caption = GenerateCaption(random);
        captionBytes += caption.size();
        lastAtLevel.resize(static_cast<std::size_t>(level));
        lastAtLevel.push_back(level == 1 ? outline.AddSibling(0, caption)
                                         : outline.AppendChild(lastAtLevel.back(), caption));
    }
    return captionBytes;
}

} // namespace virevi::bench
