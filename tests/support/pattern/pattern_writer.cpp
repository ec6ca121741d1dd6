#include "pattern_writer.h"

#include <utility>

#include "seeded_random.h"

namespace orla::pattern {

EncodedPattern EncodePattern(const PatternRecord& record, const PatternOptions& options) {
  EncodedPattern result;
  result.payload = BuildPayload(record, options.payload);
  const std::vector<BlockPlan> plans = PlanBlocks(result.payload, options.plan);
  if (plans.empty()) {
    result.error = "the payload of " + std::to_string(result.payload.size()) +
                   " bytes cannot be carried by blocks with these cells";
    return result;
  }
  std::vector<EncodedBlock> once;
  for (const BlockPlan& plan : plans) once.push_back(EncodeBlock(result.payload, plan));
  for (int copy = 0; copy < options.copies; ++copy) result.blocks.insert(result.blocks.end(), once.begin(), once.end());
  if (options.shuffle) {
    // A generator of its own, so the order does not shift the damage drawn from the seed.
    SeededRandom random(options.page.seed ^ 0x5EEDu);
    for (std::size_t i = result.blocks.size(); i > 1; --i)
      std::swap(result.blocks[i - 1], result.blocks[static_cast<std::size_t>(random.Below(static_cast<int>(i)))]);
  }
  return result;
}

PatternPage MakePatternPage(const PatternRecord& record, const PatternOptions& options) {
  PatternPage made;
  EncodedPattern encoded = EncodePattern(record, options);
  made.payload = std::move(encoded.payload);
  made.blocks = std::move(encoded.blocks);
  made.error = std::move(encoded.error);
  if (!made.ok()) return made;
  PaintedPage painted = PaintBlocks(made.blocks, options.page);
  made.page = std::move(painted.page);
  made.placements = std::move(painted.placements);
  made.error = std::move(painted.error);
  return made;
}

}  // namespace orla::pattern
