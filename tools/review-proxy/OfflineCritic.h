#pragma once

#include "Services/AIReviewService.h"

namespace orvana::proxy {

// The proxy's own critic for when no upstream model is configured: plain
// word rules, the same answer for the same text, no network.
//
// - Measurable: the text has a digit, a number word (one to twelve, twice),
//   a percent sign, or a deadline ("by" followed by a weekday, a month,
//   "tomorrow", "tonight" or "the end of").
// - Vague: not measurable, and either a hedge ("more", "better", "some",
//   "maybe", "try", "improve", "get into", "work on", "someday", "stuff",
//   "things", ...) or fewer than three words.
// - Overcommitted: more than seven items (non-empty lines; a single line is
//   split at commas and semicolons), or daily wording ("every day", "daily",
//   "each day", "per day", "a day") with four or more items or more than
//   eight hours stated in total, or more than 2,000 characters.
// - Suggestions: one for each finding, in that order (what "done" looks
//   like, a number to check, a shorter list or fewer hours), then a deadline
//   when a number has none; at most three, and one next step when nothing
//   was found.
AIReviewResult critique(const QString& text);

} // namespace orvana::proxy
