#include "Board/BoardServer.h"

#include "Board/BoardCommands.h"
#include "Board/Stage.h"
#include "Errors.h"
#include "MultiEngine/EngineCommand.h"

#include <httplib.h>

#include <chrono>
#include <random>

namespace quarnlive::board
{
	namespace
	{
		// Comparing in constant time gives a guesser nothing to measure.
		bool sameToken(const std::string& given, const std::string& token)
		{
			if (given.size() != token.size())
			{
				return false;
			}
			unsigned char difference = 0;
			for (std::size_t i = 0; i < token.size(); ++i)
			{
				difference |= static_cast<unsigned char>(given[i] ^ token[i]);
			}
			return difference == 0;
		}

		std::string tokenOf(const httplib::Request& request)
		{
			if (request.has_header("X-Board-Token"))
			{
				return request.get_header_value("X-Board-Token");
			}
			return request.get_param_value("token");
		}

		constexpr auto keepAliveEvery = std::chrono::seconds(10);
		constexpr auto commandWait = std::chrono::seconds(2);
	} // namespace

	std::string newBoardToken()
	{
		std::random_device device;
		std::string token;
		char digits[9];
		for (int i = 0; i < 4; ++i)
		{
			std::snprintf(digits, sizeof(digits), "%08x", static_cast<unsigned>(device()));
			token += digits;
		}
		return token;
	}

	BoardServer::BoardServer(BoardSetup setup, Stage& stage, BoardCommands& commands)
		: setup_(std::move(setup))
		, stage_(stage)
		, commands_(commands)
		, server_(std::make_unique<httplib::Server>())
	{
		route();
	}

	BoardServer::~BoardServer()
	{
		stopping_ = true;
		stage_.wake();
		server_->stop();
		if (listener_.joinable())
		{
			listener_.join();
		}
	}

	void BoardServer::start()
	{
		if (!server_->bind_to_port(setup_.bindAddress, setup_.port))
		{
			throw RuntimeFailure("the board cannot listen on " + setup_.bindAddress + ":" + std::to_string(setup_.port) + " (taken, or not a local address)");
		}
		listener_ = std::thread([this] { server_->listen_after_bind(); });
	}

	void BoardServer::route()
	{
		server_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
			if (sameToken(tokenOf(request), setup_.token))
			{
				return httplib::Server::HandlerResponse::Unhandled;
			}
			response.status = 403;
			response.set_content("forbidden: no valid board token\n", "text/plain");
			if (setup_.say)
			{
				setup_.say("boardRefused", {{"method", request.method}, {"path", request.path}, {"from", request.remote_addr}},
					"board refused " + request.method + " " + request.path + " from " + request.remote_addr + ": no valid token");
			}
			return httplib::Server::HandlerResponse::Handled;
		});

		server_->Get("/", [](const httplib::Request&, httplib::Response& response) {
			response.set_header("Cache-Control", "no-store");
			response.set_content(boardPage(), "text/html; charset=utf-8");
		});

		server_->Get("/events", [this](const httplib::Request&, httplib::Response& response) {
			response.set_header("Cache-Control", "no-store");
			auto seen = std::make_shared<std::uint64_t>(0);
			response.set_chunked_content_provider("text/event-stream", [this, seen](std::size_t, httplib::DataSink& sink) {
				const auto stop = [this] { return stopping_.load(); };
				const std::uint64_t version = stage_.waitForChange(*seen, std::chrono::duration_cast<std::chrono::milliseconds>(keepAliveEvery), stop);
				if (stop())
				{
					return false;
				}
				std::string chunk;
				if (version == *seen)
				{
					chunk = ": still here\n\n";
				}
				else
				{
					*seen = version;
					chunk = "event: stage\ndata: " + stage_.snapshot().dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n\n";
				}
				return sink.write(chunk.data(), chunk.size());
			});
		});

		server_->Post("/command", [this](const httplib::Request& request, httplib::Response& response) {
			multiengine::EngineCommand command;
			try
			{
				command = multiengine::parseCommand(multiengine::splitWords(request.body));
			}
			catch (const InputError& error)
			{
				response.status = 400;
				response.set_content(nlohmann::ordered_json({{"error", error.problem()}}).dump(), "application/json");
				return;
			}
			const std::string text = command.text();
			std::future<BoardOutcome> outcome = commands_.push(std::move(command));
			if (outcome.wait_for(commandWait) != std::future_status::ready)
			{
				response.status = 503;
				response.set_content(nlohmann::ordered_json({{"error", "the engine did not take the command in time"}}).dump(), "application/json");
				return;
			}
			BoardOutcome done;
			try
			{
				done = outcome.get();
			}
			catch (const std::future_error&)
			{
				// The engine shut down with the command still queued.
				response.status = 503;
				return;
			}
			response.set_content(nlohmann::ordered_json({{"text", text}, {"result", done.result}, {"command", done.number}}).dump(), "application/json");
		});
	}
} // namespace quarnlive::board
