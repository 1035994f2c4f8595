// The multi-engine server an engine uses. An engine owns one and makes it current on its
// thread; code that reaches it through instance() (the engine's modules) then talks to that
// engine's server, so several engines can live in one process. Without one made current,
// instance() is a process-wide default, as for an engine that never says otherwise.

#pragma once

#include "ServerNode.h"

namespace quarn
{
	class QuarnVirtualProductionServer : public ServerNode
	{
	public:
		QuarnVirtualProductionServer() = default;

		// The server made current on the calling thread, else the process-wide default.
		static QuarnVirtualProductionServer& instance();

		// Makes `server` what instance() returns on this thread while the scope lives.
		class ScopedCurrent
		{
		public:
			explicit ScopedCurrent(QuarnVirtualProductionServer& server);
			~ScopedCurrent();
			ScopedCurrent(const ScopedCurrent&) = delete;
			ScopedCurrent& operator=(const ScopedCurrent&) = delete;

		private:
			QuarnVirtualProductionServer* previous;
		};
	};
}
