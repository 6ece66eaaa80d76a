#include "sdk_choice.h"

#include <cstdlib>
#include <string_view>

bool ChooseSdk(const std::string& choice, std::string* error) {
  if (choice.empty()) {
    *error = "--sdk takes sim, aravis or the path of an SDK library";
    return false;
  }
  setenv(kSdkVariable, choice.c_str(), 1);
  return true;
}

bool SimulatorChosen() {
  const char* choice = std::getenv(kSdkVariable);
  return choice == nullptr || *choice == '\0' || std::string_view(choice) == "sim";
}
