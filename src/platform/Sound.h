#pragma once

namespace peldora {

// Plays one of the program's sound cues (101, 102, 103) without waiting for it to end.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(int cue) = 0;
};

} // namespace peldora
