#include "app/ReadingPipeline.h"

#include "core/NumberRules.h"

namespace aurivo {

ReadingPipeline::Outcome ReadingPipeline::take(const Reading& reading, const Context& context) {
    const ReadingFilter::Outcome filtered = filter_.apply(reading, context.filterSize);
    Outcome outcome{filtered.reading, std::nullopt, false};
    if (!filtered.filtered) return outcome;
    const int32_t value = *filtered.filtered;
    recorder_.noteFiltered(value);
    const GraphPlotter::Inputs inputs{context.startReading, context.spanPercent, context.replayShown};
    if (!graph_.admit(inputs, recorder_.storedReadings(), recorder_.recordCount())) return outcome;
    if (value < 1) return outcome;

    const int32_t record = recorder_.store(value);
    outcome.recorded = true;
    outcome.widenedSensitivity = graph_.plot(record, value, context.spanPercent);
    if (listeners_.empty()) return outcome;
    const double ohms = numbers::ohmsFromReading(value);
    const RecordedReading recorded{
        outcome.reading, value, ohms, ohms != 0 ? 1000000.0 / ohms : 0.0, record, context.sessionSeconds};
    // By index, without a copy per reading: a listener added meanwhile is reached, none is skipped.
    for (size_t i = 0; i < listeners_.size(); ++i)
        listeners_[i]->readingRecorded(recorded);
    return outcome;
}

} // namespace aurivo
