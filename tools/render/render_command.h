// vyla-render's work once its arguments are understood: prepares the
// desktop, the settings and the output, runs the saver and writes the frames.
#pragma once

#include <ostream>

#include "options.h"

namespace vyla::render {

// Returns the exit status: 0 after a complete run, 1 when the run or the
// writing failed (reported on err). Throws UsageError for arguments that
// turn out unusable (a missing settings file, a desktop picture that cannot
// be read, an output directory that cannot be made).
int RunRenderCommand(const RenderOptions& options, std::ostream& out, std::ostream& err);

}  // namespace vyla::render
