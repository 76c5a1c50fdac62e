// The documents a completed run writes (shared with the core tests).
#pragma once

#include "../common/expected_documents.h"

namespace quillo::gui {
using test::kTwoEntrySource;
using test::RealTextDocument;
using test::SmilDocument;
using test::TwoEntryDocument;
}  // namespace quillo::gui
