// The component for a web page: a plain C interface over Wipekit::TLumawipe that a page
// calls through WebAssembly. Pictures come in and frames go out as RGBA bytes in the
// module's memory. Every value is checked here; a refused one leaves the component as it
// was, and lw_message says why.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

struct LwComponent;

// The properties lw_set and lw_get address.
enum LwProperty : int {
    lwOperation,     // 0 .. 26
    lwModifier,      // 0 .. 3: left, right, up, down
    lwReverse,       // 0 or 1
    lwDelta,         // 1 .. 2147483647
    lwSteps,         // 1 .. 2147483647
    lwInterval,      // 0 .. 4294967295 ms; 0 stops the ticks
    lwColor,         // a TColor, 0xBBGGRR or a system colour
    lwRGBOrder,      // 0 .. 5: rgb, rbg, grb, gbr, brg, bgr
    lwCurrentFrame,  // 0 .. 2147483647
    lwPropertyCount
};

// Why the last call was refused, or "" when it was taken.
const char* lw_message();

// The engine's lists: the identifier of value index of list 0 (operations), 1 (modifiers)
// or 2 (channel orders), nullptr beyond them; an operation's description, and whether the
// ActiveX control offers it too.
const char* lw_name(int list, int index);
const char* lw_operation_description(int operation);
int lw_operation_in_control(int operation);

// A component of width x height pixels, or nullptr (see lw_message).
LwComponent* lw_create(int width, int height);
void lw_destroy(LwComponent* c);

// Sets the from (which 0) or to (which 1) picture from width x height RGBA bytes, rows top
// to bottom; transparent pixels are composited over the component's Color.
int lw_set_picture(LwComponent* c, int which, const std::uint8_t* rgba, int width, int height);

// Property writes: 1 when taken, 0 when refused. Values arrive as doubles, so that a
// value beyond 32 bits or a fraction is refused here and not wrapped on the way.
int lw_set(LwComponent* c, int property, double value);
double lw_get(LwComponent* c, int property);

// The driver: 1 when done as asked, 0 with a message when refused or when a frame raised.
int lw_play(LwComponent* c);
int lw_pause(LwComponent* c);
int lw_resume(LwComponent* c);
int lw_stop(LwComponent* c);
// One frame tick (AdvanceFrame), whether the run is playing, paused or idle.
int lw_tick(LwComponent* c);
// Shows frame `tick` (1 = the first) of a run with the present settings, and leaves the run
// paused there (or ended, at its last frame); Resume plays on from it.
int lw_seek(LwComponent* c, int tick);
// Lets ms milliseconds pass on the clock of every component's timer: due ticks run in order.
int lw_advance_time(std::uint32_t ms);

int lw_active(LwComponent* c);
int lw_paused(LwComponent* c);
// OnDone has been raised since the last Play or seek.
int lw_done(LwComponent* c);
// Ticks since the last Play (the frame the run shows, counted from 1).
int lw_ticks(LwComponent* c);
// Ticks a run takes with the present settings and pictures, or 0 when it never ends (no
// from picture).
int lw_run_length(LwComponent* c);

// The last frame as RGBA bytes, rows top to bottom (nullptr before the first frame); its
// size; and the same frame as a 24-bit BMP file, written by the toolkit.
const std::uint8_t* lw_frame(LwComponent* c);
int lw_frame_width(LwComponent* c);
int lw_frame_height(LwComponent* c);
const std::uint8_t* lw_frame_bmp(LwComponent* c);
int lw_frame_bmp_size(LwComponent* c);

// Memory for pictures handed in.
std::uint8_t* lw_alloc(std::size_t bytes);
void lw_free(std::uint8_t* p);
}
