// mainSubtitles: the narrator's words at the foot of the screen while they are spoken, for the
// prologue and the game over, when the player starts the game with --subtitles. Each scene owns
// one Subtitles record; the labels are made while the scene loads and only their text, place and
// strength change during play, so showing a line allocates nothing.

#include "main.h"

//---- Constants

static const int SUBTITLE_TEXTURE = 1024;  // a whole row fits across the screen
static const int SUBTITLE_PIXELS = 22;     // the letters' height: read at a glance, small beside the picture
static const float ROW_TOP[2] = {690.0f, 718.0f};
static const float BAND_TOP = 684.0f, BAND_HEIGHT = 66.0f;
static const float BAND_ALPHA = 0.55f;  // dark enough behind the letters that dusk and trees never swallow them
static const float FADE_IN = 0.15f, FADE_OUT = 0.25f;

//---- State

int subtitlesShown = 0;

//---- Helpers

// How strongly a line shows at voice time t: up over FADE_IN from its start, down over FADE_OUT to its end.
static float lineStrength(const SpokenLine& line, float t)
{
    if (t < line.start || t > line.end)
        return 0.0f;
    float in = (t - line.start) / FADE_IN, out = (line.end - t) / FADE_OUT;
    float strength = in < out ? in : out;
    return strength < 1.0f ? strength : 1.0f;
}

// Writes the line's rows into the labels, each row centred across the screen. A line of one row
// sits on the lower one, where the eye finds every line's end.
static void setRows(Subtitles* subtitles, int index)
{
    const char* texts[2] = {"", ""};
    if (index >= 0) {
        const SpokenLine& line = subtitles->lines[index];
        texts[0] = line.rows[1][0] ? line.rows[0] : "";
        texts[1] = line.rows[1][0] ? line.rows[1] : line.rows[0];
    }
    for (int r = 0; r < 2; ++r) {
        Label* row = subtitles->rows[r];
        NUX_SetLabelText(row, texts[r]);
        row->sprite.x = (float)((1024 - row->textWidth) / 2);
    }
}

//---- Public

void loadSubtitles(Subtitles* subtitles, Screen* screen, const SpokenLine* lines, int count)
{
    *subtitles = {};
    subtitles->lines = lines;
    subtitles->count = count;
    subtitles->current = -1;
    if (!subtitlesShown)
        return;
    subtitles->band = NUX_AddRect(screen, 0.0f, BAND_TOP, 1024.0f, BAND_HEIGHT);
    NUX_SetSpriteColor(subtitles->band, 0.0f, 0.0f, 0.0f);
    for (int r = 0; r < 2; ++r) {
        // The glyphs at this size are rendered now, with a text as wide as any row, so that later
        // lines render from memory.
        subtitles->rows[r] = NUX_AddLabelWithColor(screen, fontFutura, lines[0].rows[0], SUBTITLE_TEXTURE,
                                                   SUBTITLE_PIXELS, 1.0f, 0.94f, 0.82f, 1.0f);
        subtitles->rows[r]->sprite.y = ROW_TOP[r];
    }
    showSubtitles(subtitles, -1.0f);
}

void showSubtitles(Subtitles* subtitles, float voiceTime)
{
    if (!subtitles->rows[0])
        return;
    int index = -1;
    float strength = 0.0f;
    for (int i = 0; i < subtitles->count; ++i) {
        float s = lineStrength(subtitles->lines[i], voiceTime);
        if (s > 0.0f) {
            index = i;
            strength = s;
            break;
        }
    }
    if (index != subtitles->current) {
        setRows(subtitles, index);
        subtitles->current = index;
    }
    subtitles->band->alpha = BAND_ALPHA * strength;
    for (int r = 0; r < 2; ++r)
        subtitles->rows[r]->sprite.alpha = subtitles->rows[r]->textWidth > 0 ? strength : 0.0f;
}
