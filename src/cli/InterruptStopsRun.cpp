#include "cli/InterruptStopsRun.h"

namespace vantrel::cli {

namespace {

std::atomic<bool>* boolFlag = nullptr;
std::atomic<int>* intFlag = nullptr;

extern "C" void OnInterrupt(int) {
  if (boolFlag != nullptr) boolFlag->store(true);
  if (intFlag != nullptr) intFlag->store(1);
}

}  // namespace

InterruptStopsRun::InterruptStopsRun(std::atomic<bool>& flag) {
  boolFlag = &flag;
  Install();
}

InterruptStopsRun::InterruptStopsRun(std::atomic<int>& flag) {
  intFlag = &flag;
  Install();
}

void InterruptStopsRun::Install() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, &previous_);
}

InterruptStopsRun::~InterruptStopsRun() {
  ::sigaction(SIGINT, &previous_, nullptr);
  boolFlag = nullptr;
  intFlag = nullptr;
}

}  // namespace vantrel::cli
