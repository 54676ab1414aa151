#pragma once

#include <functional>

namespace kestrova::writer {

// Runs `job` on a thread of its own while the calling thread's event loop
// keeps running, and returns once the job has ended, passing on what it threw.
// So a long document (a mailing of many pages, a large table) never stops the
// writer from answering the bus: the caller must expect its own slots to be
// called meanwhile. The job must touch no widget.
void runInBackground(const std::function<void()>& job);

} // namespace kestrova::writer
