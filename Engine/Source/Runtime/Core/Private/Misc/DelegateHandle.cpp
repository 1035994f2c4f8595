#include "Delegates/Delegate.h"

#include <atomic>

FDelegateHandle::FDelegateHandle(EGenerateNewHandleType)
{
	static std::atomic<uint64> NextId{1};
	Id = NextId.fetch_add(1);
}
