// beginPlay / endPlay: the editor's play-in-editor notifications, as a non-simulating session.

#include "Actions/Action.h"

#include "Editor.h"

namespace quarnlive::actions
{
	namespace
	{
		class PlayAction final : public Action
		{
		public:
			PlayAction(std::string_view name, FEditorDelegates::FOnPIEEvent& event)
				: name_(name)
				, event_(event)
			{
			}
			std::string_view name() const override { return name_; }
			void checkArguments(json::ObjectReader&) const override {}
			void run(const nlohmann::ordered_json&, Context&) const override
			{
				asModule([this] { event_.Broadcast(false); });
			}

		private:
			std::string_view name_;
			FEditorDelegates::FOnPIEEvent& event_;
		};
	} // namespace

	const Action& beginPlayAction()
	{
		static const PlayAction action("beginPlay", FEditorDelegates::BeginPIE);
		return action;
	}

	const Action& endPlayAction()
	{
		static const PlayAction action("endPlay", FEditorDelegates::EndPIE);
		return action;
	}
} // namespace quarnlive::actions
