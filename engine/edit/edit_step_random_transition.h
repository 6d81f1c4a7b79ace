#pragma once
// The random transition of the edit job (step 14): the current work file is cut at its
// middle and the halves are joined again by one of the converter's cross-fade
// transitions, the second half also faded in from black; the video's sound is laid
// back under the joined picture and the result is cut to the kept length D.
//
// HALF is D / 2 in whole seconds, raised by one when odd; REST = D - HALF. The cut
// (`transition_plan`) is at HALF when the second piece then lasts at least a second
// longer than the transition, else earlier; a video too short for that gets a shorter
// transition (see `transition_plan`). The pieces are the program's own files: they
// live in the work folder in the work file's container (its extension, ext), so they
// take the codecs the work files have, whatever the source's container; all seven are
// removed before the step runs, so nothing of an earlier video can be joined. Every
// picture the step encodes is 8-bit 4:2:0, which every player plays:
//   velmon1+ext  -ss 00:00:00 -t HMS(CUT) -i CUR -pix_fmt yuv420p   (re-encoded: a
//                stream copy ends only where it can be cut, past CUT, with frames
//                missing before its last one, which the join shows as a jump)
//   velmon2+ext  -ss HMS(CUT) -t HMS(D - CUT + 1) -i CUR -pix_fmt yuv420p   (re-encoded:
//                a stream copy would begin at the key frame before CUT, and a container
//                without edit lists would show those frames)
//   velmon3+ext  -i velmon2 -vf fade=in:0:FADE -pix_fmt yuv420p   (FADE even, 10 to 20)
//   k5pw_cn+ext  -i velmon1 -i SECOND -filter_complex F -pix_fmt yuv420p
//   brel.mp3     -i CUR -filter_complex [0:a]atrim=end=CUT,apad=whole_dur=CUT[a];
//                [0:a]atrim=start=CUT,asetpts=PTS-STARTPTS[b];[a][b]acrossfade=d=S -f mp3
//                (the sound's halves overlap as the picture's do, so the second half
//                keeps its own sound)
//   velmon+ext   -i k5pw_cn -vcodec copy -an
//   yes+ext      -i velmon -i brel.mp3 -pix_fmt yuv420p
//   NEXT         -t HMS(D) -i yes -vcodec copy           (no seek to 00:00:00 first:
//                on an flv file it lands on a later key frame)
// F = [0:v]settb=AVTB[a];[1:v]settb=AVTB[b];[a][b]xfade=transition=T:duration=S:
// offset=CUT-S. The cross-fade refuses inputs whose time bases differ, which pieces
// written by different runs can have; both pieces come from one stream and so share
// its frame rate. The transition ends with the first piece. The cross-fade of this
// converter never ends when the second piece runs out before the first one does, hence
// the second piece's second to spare.
//
// The join, with T the name of a row drawn from the transition table and S at most the
// plan's length:
//   A current: T, 2 s, velmon3; when that does not count, circlecrop, 2 s, velmon2;
//   B current: rectcrop, 2 s, velmon3; when that does not count, T, 1 s, velmon3.
// A video without sound skips the sound commands and cuts k5pw_cn itself into NEXT.
// A piece that does not count ends the step. The output counts by the usual rule, and
// only then is the step's done status written, and D and D0 lose the S seconds the
// transition took.

#include "engine/edit/edit_job_state.h"

struct TransitionLengths {
  int half = 0;  // HALF
  int rest = 0;  // REST
};

// HALF and REST for a kept length of `kept_length` whole seconds.
TransitionLengths transition_lengths(int kept_length);

// Where a video of `kept_length` whole seconds is cut, and how long its transition can
// be, the transition being at most `longest` seconds.
struct TransitionPlan {
  int cut = 0;       // the length of the first piece
  int duration = 0;  // the longest transition that fits; 0: none fits
};

// The first piece holds the whole transition (CUT >= S) and the second one lasts at
// least a second longer than it (D - CUT >= S + 1). The cut is at HALF when that holds
// there, else at D - S - 1, nearer the middle; the transition is `longest` seconds when
// some cut fits it, else the longest whole number of seconds that fits. D = 6 is cut at
// 3 with 2 s, D = 4 at 2 with 1 s, D = 3 at 1 with 1 s; D <= 2 has no room (duration 0).
TransitionPlan transition_plan(int kept_length, int longest);

void run_random_transition_step(EditVideoState& state, const EditPage& page);
