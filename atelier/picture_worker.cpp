#include "atelier/picture_worker.h"

#include <objbase.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace vidod {

// Two threads keep both cores of a small machine busy; more would only
// compete with the window for them.
constexpr unsigned kMostWorkerThreads = 2;

struct PictureWorker {
  HWND window = nullptr;
  UINT message = 0;
  std::mutex lock;
  std::condition_variable wake;
  std::deque<PictureRequest> queue;
  unsigned generation = 0;
  std::size_t running = 0;
  bool stopping = false;
  std::vector<std::thread> threads;
};

namespace {

void RunWorker(PictureWorker* worker) {
  // The imaging component needs COM on every thread that uses it.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  for (;;) {
    PictureOutcome* outcome = new PictureOutcome;
    {
      std::unique_lock<std::mutex> held(worker->lock);
      worker->wake.wait(held, [worker] { return worker->stopping || !worker->queue.empty(); });
      if (worker->stopping) {
        delete outcome;
        break;
      }
      outcome->request = std::move(worker->queue.front());
      outcome->generation = worker->generation;
      worker->queue.pop_front();
      ++worker->running;
    }
    outcome->rendered = RenderPicture(outcome->request);
    {
      // Posted under the lock, so that no outcome is posted after the stop
      // has cleared the window's queue.
      std::lock_guard<std::mutex> held(worker->lock);
      --worker->running;
      if (worker->stopping || !PostMessageW(worker->window, worker->message, 0, reinterpret_cast<LPARAM>(outcome)))
        DeletePictureOutcome(outcome);
    }
  }
  if (com) CoUninitialize();
}

}  // namespace

void DeletePictureOutcome(PictureOutcome* outcome) {
  if (outcome->rendered.fitted) DeleteObject(outcome->rendered.fitted);
  delete outcome;
}

PictureWorker* StartPictureWorker(HWND window, UINT message) {
  PictureWorker* worker = new PictureWorker;
  worker->window = window;
  worker->message = message;
  const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkerThreads);
  for (unsigned i = 0; i < count; ++i) worker->threads.emplace_back(RunWorker, worker);
  return worker;
}

void StopPictureWorker(PictureWorker* worker) {
  if (!worker) return;
  {
    std::lock_guard<std::mutex> held(worker->lock);
    worker->stopping = true;
    worker->queue.clear();
  }
  worker->wake.notify_all();
  for (std::thread& thread : worker->threads) thread.join();
  MSG message;
  while (PeekMessageW(&message, worker->window, worker->message, worker->message, PM_REMOVE))
    DeletePictureOutcome(reinterpret_cast<PictureOutcome*>(message.lParam));
  delete worker;
}

void QueuePictures(PictureWorker* worker, unsigned generation, std::vector<PictureRequest> requests) {
  {
    std::lock_guard<std::mutex> held(worker->lock);
    worker->generation = generation;
    worker->queue.assign(std::make_move_iterator(requests.begin()), std::make_move_iterator(requests.end()));
  }
  worker->wake.notify_all();
}

std::size_t PicturesUnfinished(PictureWorker* worker) {
  std::lock_guard<std::mutex> held(worker->lock);
  return worker->queue.size() + worker->running;
}

}  // namespace vidod
