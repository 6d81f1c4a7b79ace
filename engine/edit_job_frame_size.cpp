#include "engine/edit_job_first_transcode.h"

#include "engine/globals.h"

// The frame-size rule is not available yet: the size stays unknown (0 x 0), which the
// steps that need it treat as "not found".
void read_edit_frame_size(EditVideoState& state) {
  state.width = 0;
  state.height = 0;
}
