#pragma once
// The page's dot threshold, estimated from a sample of at most 640 x 480 pixels: the sample
// is binarized against its local mean, the small compact dark specks the dots leave each vote
// for a grey level, and the best supported band of levels gives the threshold.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "halvo_pic.h"

namespace orla {

inline constexpr int kThresholdSampleWidth = 640;
inline constexpr int kThresholdSampleHeight = 480;
inline constexpr int kDefaultThreshold = 192;

using VoteHistogram = std::array<int, 256>;

int EstimateThreshold(const CHalvoPic& page, int resolution);

// The grey level a finished speck votes for, from the sample greys of its pixels (any
// order), or nothing when it casts no vote.
std::optional<int> SpeckVote(std::span<const std::uint8_t> greys);

// The end level of the best band of 6 levels, 0 when the histogram is empty.
int BestBandEnd(const VoteHistogram& votes);

// The threshold that a winning band ending at `bandEnd` stands for.
int ThresholdFromBandEnd(int bandEnd);

}  // namespace orla
