// Judging a run from what was heard: pure functions of the pitch frames, the
// run's beat grid and the pitch each note asks for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "listen/pitch_tracker.h"

namespace tarvel {

// The sounding pitch (MIDI number) of a note fingered on chart line `Unshi_no`:
// chart block k is the written D3 + k semitones of the B-flat clarinet, which
// sounds a whole tone lower.
int soundingPitch(int Unshi_no);

inline constexpr double kStandardA4 = 440;  // Hz

struct JudgeRule {
    double a4Hz = kStandardA4;  // the concert pitch the player tunes to
    double minConfidence = 0.5;
    // Frames this far below the run's played level are silence; the gate moves
    // with the player's microphone and distance, not with a fixed level.
    double silentBelowDb = 15;
    double attackMs = 40;     // the start of every beat is not judged
    double endMarginMs = 25;  // nor its very end, where the next note may already be heard
    double endMarginShare = 0.15;
    double rightShare = 0.15;  // of a beat's frames within tolerance make it right
    double heardShare = 0.15;  // of a beat's frames that carry a pitch make it heard at all
    double toleranceCents = 50;
    // Only what a B-flat clarinet can sound is taken for the player: hum and
    // whistles outside it are not notes.
    double lowestMidi = 48;
    double highestMidi = 100;

    // The player's lag behind the beat: searched in the first block of
    // notes within these bounds, then followed block by block.
    int firstLagMinMs = -100;
    int firstLagMaxMs = 400;
    int lagStepMs = 5;
    int blockNotes = 8;
    double lagMovePerMs = 0.04;  // how far the lag may move between blocks, per ms of a block (tempo drift)
    int lagMoveSlackMs = 40;     // and beyond that, for an uneven player
    int lagFollowMs = 1500;      // the farthest the lag may wander from the first block's bounds

    // A note of the same pitch as the sound before it: a new start is a rise
    // of the short level; without one, a sound falling this fast is the note
    // before dying away, not this one.
    double onsetRiseDb = 3;
    double tailSlopeDbPer100Ms = 3;

    // An extra note: a steady pitch that is none of the notes around it (nor
    // their register), this long.
    double extraMinMs = 40;
    double extraAwayCents = 70;

    // The room, from the count-in: too noisy to judge when its noise comes
    // this close to the played level, or a hum this close.
    double noisyNoiseDb = 9;
    double noisyHumDb = 10;
    double humHighestHz = 130;  // a steady pitch below the clarinet's lowest note is hum
};

// What the count-in heard while the player was silent.
struct RoomReport {
    double floorDb = -120;        // the median level
    std::optional<double> humHz;  // a steady pitch below the clarinet's range
    double humDb = -120;          // the level of the frames that carried it
};

// The room from the frames heard before `untilMs` (the first beat).
RoomReport measureRoom(const std::vector<PitchFrame>& frames, int sampleRate, double untilMs,
                       const JudgeRule& rule = {});

enum class Mark : char { Right = 'o', Wrong = 'x', Silent = '-' };

struct Judgement {
    bool heard = false;  // a pitch at all during the notes
    bool noisy = false;  // the room was too loud to judge: nothing is proposed
    int lagMs = 0;       // median start of the right notes after their beats
    int lagFromMs = 0;   // the range the followed lag moved in
    int lagToMs = 0;
    int slips = 0;                 // notes not judged right, and extra notes
    std::vector<Mark> marks;       // one per note
    std::vector<float> cents;      // per right note its median deviation after the attack; NaN for others
    std::vector<int> extraBefore;  // an extra note was heard before note k (k = the count: after the last)
    RoomReport room;
    double playedDb = -120;        // the run's played level
    double a4Hz = kStandardA4;     // the concert pitch it was judged at
    std::string markText() const;  // "oox-o..."
};

// `beatStartMs`: when each note's beat began, in ms from the input's first
// sample; every beat lasts `beatMs`. The frames before the first beat are the
// count-in's.
Judgement judgeRun(const std::vector<PitchFrame>& frames, int sampleRate, const std::vector<double>& beatStartMs,
                   double beatMs, const std::vector<int>& expectedMidi, const JudgeRule& rule = {});

// The answer of page 5 that matches a count of slips: "0" none, "1" one or
// two, "2" three to five, "3" six or more; nothing when nothing was heard or
// the room was too noisy to judge.
std::optional<std::string_view> proposedAnswer(const Judgement& judgement);
std::string_view answerForSlips(int slips);

}  // namespace tarvel
