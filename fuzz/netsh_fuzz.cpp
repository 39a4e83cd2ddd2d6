// The netsh stand-in's interpreter: whatever a script did to the machine, the dump of the
// result, run on a fresh machine, gives the same state.
#include <string>

#include "fuzz_support.h"
#include "standin/netsh_dump.h"
#include "standin/netsh_script.h"
#include "standin/network_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using lanvoy::standin::NetworkState;
  const std::string script(reinterpret_cast<const char*>(data), size);
  NetworkState state = NetworkState::Default();
  lanvoy::standin::NetshInterpreter(state).RunScript(script);
  const std::string dump = lanvoy::standin::InterfaceDump(state);

  NetworkState fresh = NetworkState::Default();
  lanvoy::standin::NetshInterpreter replay(fresh);
  LANVOY_CHECK(replay.RunScript(dump));
  LANVOY_CHECK(fresh == state);
  return 0;
}
