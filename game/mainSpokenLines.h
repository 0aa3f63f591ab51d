// mainSpokenLines: the narrator's words, line by line, with when each is spoken. One table serves
// both the asset generator, which speaks every line at its start into the voice file, and the
// scenes, which show the same words as subtitles over the same stretch of time. Nothing here
// includes the engine: the generator reads it too.
#pragma once

// One line of narration: its two rows of subtitle, spoken as one sentence from `start` seconds
// after the voice file begins; by `end` its words and their echo are over. The generator speaks a
// line faster when it would run past its end, so the words never outlast their subtitle.
struct SpokenLine {
    float start, end;
    const char* rows[2];  // the second row may be empty
};

// The prologue's story, spoken over its dusk.
inline constexpr SpokenLine PROLOGUE_LINES[] = {
    {0.0f, 7.4f, {"Long ago, when the city still slept under gas lamps,", "an owl kept watch over its rooftops."}},
    {7.75f, 10.5f, {"Each night the pigeons grew bolder.", ""}},
    {10.85f,
     19.0f,
     {"They crowded every ledge, they spoiled every hat, and the",
      "gentlemen below could only shake their canes at the sky."}},
    {19.35f, 25.85f, {"So the owl spread its wings.", "From dusk until the sun returns, it will swoop."}},
    {26.2f, 33.1f, {"But beware the street lamps, old friend.", "Their light is bright, and their touch is death."}},
};
inline constexpr int PROLOGUE_LINE_COUNT = sizeof PROLOGUE_LINES / sizeof PROLOGUE_LINES[0];

// The one line when the owl has fallen for good.
inline constexpr SpokenLine GAMEOVER_LINES[] = {
    {0.0f, 5.6f, {"And so the owl fell,", "and the pigeons ruled the night once more."}},
};
inline constexpr int GAMEOVER_LINE_COUNT = sizeof GAMEOVER_LINES / sizeof GAMEOVER_LINES[0];
