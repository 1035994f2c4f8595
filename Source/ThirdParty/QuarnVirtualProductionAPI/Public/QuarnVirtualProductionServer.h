// The process-wide multi-engine server.

#pragma once

#include "ServerNode.h"

namespace quarn
{
	class QuarnVirtualProductionServer : public ServerNode
	{
	public:
		static QuarnVirtualProductionServer& instance();

	private:
		QuarnVirtualProductionServer() = default;
	};
}
