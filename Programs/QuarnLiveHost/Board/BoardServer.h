#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

namespace httplib
{
	class Server;
}

namespace quarnlive::board
{
	class BoardCommands;
	class Stage;

	struct BoardSetup
	{
		std::string bindAddress = "127.0.0.1";
		int port = 0;
		/** Every request must carry it, as ?token= or the X-Board-Token header. */
		std::string token;
		/** The master's output: type, JSON fields and text of a line. */
		std::function<void(const std::string&, const nlohmann::ordered_json&, const std::string&)> say;
	};

	/**
	 * The stage board over HTTP (cpp-httplib): the page, a Server-Sent Events stream that
	 * pushes the stage on every change, and the command buttons' endpoint. Its own threads;
	 * the game thread is only reached through BoardCommands.
	 */
	class BoardServer
	{
	public:
		BoardServer(BoardSetup setup, Stage& stage, BoardCommands& commands);
		~BoardServer();
		BoardServer(const BoardServer&) = delete;
		BoardServer& operator=(const BoardServer&) = delete;

		/** Binds and starts serving; throws RuntimeFailure when the address or port cannot be had. */
		void start();

	private:
		void route();

		const BoardSetup setup_;
		Stage& stage_;
		BoardCommands& commands_;
		std::unique_ptr<httplib::Server> server_;
		std::atomic<bool> stopping_{false};
		std::thread listener_;
	};

	/** A fresh board token: 128 random bits as hex. */
	std::string newBoardToken();

	/** The page, embedded from Board/board.html at build time. */
	const char* boardPage();
} // namespace quarnlive::board
