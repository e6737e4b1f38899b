// Pictures drawn away from the window's thread, so that a folder of large
// photos opens at once: requests wait in one queue, each worker thread
// takes the next, and every outcome comes back to the window as a posted
// message whose LPARAM is the PictureOutcome (the receiver deletes it).
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "atelier/picture_render.h"

namespace vidod {

struct PictureOutcome {
  unsigned generation = 0;  // as queued: the window drops outcomes of an older one
  PictureRequest request;
  RenderedPicture rendered;
};
void DeletePictureOutcome(PictureOutcome* outcome);  // its bitmap too, when not taken

struct PictureWorker;
// Threads that post their outcomes to window as message.
PictureWorker* StartPictureWorker(HWND window, UINT message);
// Stops the threads once their current picture is done, and deletes the
// outcomes still waiting in the window's queue. On the window's thread.
void StopPictureWorker(PictureWorker* worker);
// Replaces the requests not yet started by these, taken in their order.
void QueuePictures(PictureWorker* worker, unsigned generation, std::vector<PictureRequest> requests);
// Requests queued or being drawn.
std::size_t PicturesUnfinished(PictureWorker* worker);

}  // namespace vidod
