#pragma once
// The random transition of the edit job (step 14): the current work file is cut at its
// middle and the halves are joined again by one of the converter's cross-fade
// transitions, the second half also faded in from black; the video's sound is laid
// back under the joined picture and the result is cut to the kept length D.
//
// HALF is D / 2 in whole seconds, raised by one when odd; REST = D - HALF. The pieces
// live in the work folder, named with the source's extension (ext); all seven are
// removed before the step runs, so nothing of an earlier video can be joined:
//   velmon1+ext  -ss 00:00:00 -t HMS(HALF) -i CUR -vcodec copy
//   velmon2+ext  -ss HMS(HALF) -t HMS(REST + 1) -i CUR        (re-encoded: a stream
//                copy would begin at the key frame before HALF, and a container
//                without edit lists would show those frames)
//   velmon3+ext  -i velmon2 -vf fade=in:0:FADE               (FADE even, 10 to 20)
//   k5pw_cn+ext  -i velmon1 -i SECOND -filter_complex F
//   brel.mp3     -i CUR -filter_complex [0:a]atrim=end=HALF[a];[0:a]atrim=start=HALF,
//                asetpts=PTS-STARTPTS[b];[a][b]acrossfade=d=S -f mp3
//                (the sound's halves overlap as the picture's do, so the second half
//                keeps its own sound)
//   velmon+ext   -i k5pw_cn -vcodec copy -an
//   yes+ext      -i velmon -i brel.mp3
//   NEXT         -t HMS(D) -i yes -vcodec copy           (no seek to 00:00:00 first:
//                on an flv piece it lands on a later key frame)
// F = [0:v]settb=AVTB[a];[1:v]settb=AVTB[b];[a][b]xfade=transition=T:duration=S:
// offset=HALF-S (not below 0). The cross-fade refuses inputs whose time bases differ,
// and the stream-copied first piece keeps the current file's while the re-encoded one
// gets its encoder's; both pieces come from one stream and so share its frame rate.
// The transition ends with the first piece: one that starts where the first piece
// ends writes the first piece alone and still exits 0.
//
// The join, with T the name of a row drawn from the transition table:
//   A current: T, 2 s, velmon3; when that does not count, circlecrop, 2 s, velmon2;
//   B current: rectcrop, 2 s, velmon3; when that does not count, T, 1 s, velmon3.
// A video without sound skips the sound commands and cuts k5pw_cn itself into NEXT.
// A piece that does not count ends the step. The output counts by the usual rule, and
// only then is the step's done status written.

#include "engine/edit/edit_job_state.h"

struct TransitionLengths {
  int half = 0;  // HALF
  int rest = 0;  // REST
};

// HALF and REST for a kept length of `kept_length` whole seconds.
TransitionLengths transition_lengths(int kept_length);

// Where a transition of `duration` seconds starts so that it ends with a first piece
// of `half` seconds (never before 0).
int transition_offset(int half, int duration);

void run_random_transition_step(EditVideoState& state, const EditPage& page);
