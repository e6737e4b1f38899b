// Plays model actions on the real player in-process, with the messages the
// windows get from a user's input, and reads the player back in the model's
// terms.
#pragma once

#include "player_model.h"

namespace vidod::testing {

// Every action but kCloseAndRestart, which the test does itself (it ends the
// message loop).
void PerformAction(const ModelAction& action);

// The running player as a model: slots, box texts, labels reading "BRAVO",
// the chosen question, the view shown and the focus.
PlayerModel ObservePlayer(const ModelQuiz& quiz);

}  // namespace vidod::testing
