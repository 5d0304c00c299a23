// A small self-contained test runner for the Windows programs (GoogleTest
// has no MinGW build here). Each case runs in a process of its own, so
// that loaded libraries, registered window classes and the module's state
// never carry over; the parent runs the cases one after another, with a
// time limit, and sums up.
#pragma once

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace wintest {

// Registers a case; used by WT_TEST.
int Register(const char* Name, void (*Body)());

// Records a failed check (any thread) and prints where and why.
void Fail(const char* File, int Line, const std::string& What);

// Thrown by WT_ASSERT to end the case at once.
struct TAbort : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Code page 932 text shown readably: printable ASCII as is, other bytes as
// \xNN (the console's code page is not ours to rely on).
std::string Printable(const std::string& Text);

inline std::string Show(const std::string& Value) { return "\"" + Printable(Value) + "\""; }
inline std::string Show(const char* Value) { return Value == nullptr ? "null" : Show(std::string(Value)); }
template <typename T>
std::string Show(const T& Value) {
  std::ostringstream s;
  s << Value;
  return s.str();
}
template <typename T>
std::string Show(const std::vector<T>& Values) {
  std::string out = "{";
  for (std::size_t i = 0; i < Values.size(); ++i) out += (i > 0 ? ", " : "") + Show(Values[i]);
  return out + "}";
}

// Runs a command line in a child process and waits up to TimeoutMs for it
// to end. On the deadline the child, and whatever it started, is ended and
// the time-out is printed with What, the thing that was awaited.
struct TProcessResult {
  bool Started = false, Finished = false;
  unsigned long ExitCode = 0;
};
TProcessResult RunProcess(const std::string& Command, unsigned long TimeoutMs, const std::string& What);

// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();

}  // namespace wintest

#define WT_TEST(Name)                                                          \
  static void Name();                                                          \
  [[maybe_unused]] static const int Name##Registered = wintest::Register(#Name, &Name); \
  static void Name()

#define WT_CHECK(Cond)                                         \
  do {                                                         \
    if (!(Cond)) wintest::Fail(__FILE__, __LINE__, #Cond);     \
  } while (0)

#define WT_EQ(Actual, Expected)                                                                       \
  do {                                                                                                \
    const auto& wtActual = (Actual);                                                                  \
    const auto& wtExpected = (Expected);                                                              \
    if (!(wtActual == wtExpected))                                                                    \
      wintest::Fail(__FILE__, __LINE__,                                                               \
                    std::string(#Actual " == " #Expected "\n    actual:   ") + wintest::Show(wtActual) + \
                        "\n    expected: " + wintest::Show(wtExpected));                              \
  } while (0)

#define WT_ASSERT(Cond)                                  \
  do {                                                   \
    if (!(Cond)) {                                       \
      wintest::Fail(__FILE__, __LINE__, #Cond);          \
      throw wintest::TAbort(#Cond);                      \
    }                                                    \
  } while (0)
