#pragma once

// Every engine that loads the plug-in starts the multi-engine server on port 10001. Each test
// process binds it to a loopback address of its own, so parallel tests, and the end-to-end
// sessions on 127.0.0.1-3, never fight over the port.

#include "QuarnVirtualProductionServer.h"

#include <string>
#include <unistd.h>

/** 127.X.Y.Host with X and Y taken from the process id. */
inline std::string ProcessLoopbackAddress(int Host)
{
	const int Pid = static_cast<int>(::getpid());
	return "127." + std::to_string(20 + Pid % 200) + "." + std::to_string((Pid / 200) % 250) + "." + std::to_string(Host);
}

/** Call before booting an engine. */
inline void BindServerToProcessLoopback()
{
	quarn::ServerConfig Config;
	Config.bindAddress = ProcessLoopbackAddress(1);
	quarn::QuarnVirtualProductionServer::instance().setConfig(Config);
}
