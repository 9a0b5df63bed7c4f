#pragma once

#include <memory>

#include "update/update_document.h"

namespace lanzhou::app {

// Seconds the about box counts down from.
constexpr int kAboutCountdownStart = 6;

// Seconds left before the about box closes itself.
extern int aboutCountdown;
// The update document of the run: made at start-up, released and freed at exit.
extern std::unique_ptr<update::UpdateDocument> updateDocument;

}  // namespace lanzhou::app
