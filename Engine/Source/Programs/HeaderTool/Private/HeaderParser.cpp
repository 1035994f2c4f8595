#include "HeaderParser.h"

#include "Diagnostics.h"
#include "AnnotationArguments.h"
#include "Tokenizer.h"
#include "TypeText.h"

#include <filesystem>

namespace HeaderTool
{
	namespace
	{
		bool endsWith(const std::string& text, const std::string& suffix)
		{
			return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
		}

		bool startsWith(const std::string& text, const std::string& prefix)
		{
			return text.compare(0, prefix.size(), prefix) == 0;
		}

		bool isOneOf(const Token& token, std::initializer_list<const char*> words)
		{
			for (const char* word : words)
			{
				if (token.isIdentifier() && token.text == word)
				{
					return true;
				}
			}
			return false;
		}

		bool isTypeMacro(const Token& token)
		{
			return isOneOf(token, {"UCLASS", "USTRUCT", "UENUM", "UINTERFACE"});
		}

		bool isGeneratedBody(const Token& token)
		{
			return isOneOf(token, {"GENERATED_BODY", "GENERATED_UCLASS_BODY", "GENERATED_USTRUCT_BODY"});
		}

		bool isAnnotation(const Token& token)
		{
			return isTypeMacro(token) || isGeneratedBody(token) || isOneOf(token, {"UPROPERTY", "UFUNCTION", "UMETA", "UPARAM"}) || (token.isIdentifier() && startsWith(token.text, "DECLARE_DYNAMIC_"));
		}

		const char* accessSuffix(Access access)
		{
			switch (access)
			{
			case Access::Public:
				return "Public";
			case Access::Protected:
				return "Protected";
			case Access::Private:
				return "Private";
			}
			return "Public";
		}

		int delegateParamCount(const std::string& suffix)
		{
			static const char* const counts[] = {"", "_OneParam", "_TwoParams", "_ThreeParams", "_FourParams", "_FiveParams", "_SixParams", "_SevenParams", "_EightParams", "_NineParams"};
			for (int i = 0; i < 10; ++i)
			{
				if (suffix == counts[i])
				{
					return i;
				}
			}
			return -1;
		}

		class Parser
		{
		public:
			Parser(const TokenizedFile& file, HeaderDef& header)
				: tokens(file.tokens)
				, header(header)
			{
			}

			void run()
			{
				std::vector<bool> scopes; // true for a namespace
				bool bNamespacePending = false;
				while (at().kind != TokenKind::End)
				{
					const Token& token = at();
					if (token.is("namespace"))
					{
						bNamespacePending = true;
						++pos;
						continue;
					}
					if (token.is(";"))
					{
						bNamespacePending = false;
					}
					if (token.is("{"))
					{
						scopes.push_back(bNamespacePending);
						bNamespacePending = false;
						++pos;
						continue;
					}
					if (token.is("}"))
					{
						if (scopes.empty())
						{
							throw ParseError(token.line, "unbalanced '}'");
						}
						scopes.pop_back();
						++pos;
						continue;
					}
					if (isAnnotation(token))
					{
						bool bInNamespace = false;
						bool bInOther = false;
						for (bool bNamespace : scopes)
						{
							(bNamespace ? bInNamespace : bInOther) = true;
						}
						handleFileScopeAnnotation(token, bInNamespace, bInOther);
						continue;
					}
					++pos;
				}
				if (!scopes.empty())
				{
					throw ParseError(at().line, "unexpected end of file: missing '}'");
				}
			}

		private:
			const Token& at(size_t offset = 0) const
			{
				const size_t index = pos + offset;
				return index < tokens.size() ? tokens[index] : tokens.back();
			}

			void expect(const char* symbol, const std::string& context)
			{
				if (!at().is(symbol))
				{
					const std::string found = at().kind == TokenKind::End ? "end of file" : "'" + at().text + "'";
					throw ParseError(at().line, std::string("expected '") + symbol + "' " + context + ", found " + found);
				}
				++pos;
			}

			void handleFileScopeAnnotation(const Token& token, bool bInNamespace, bool bInOther)
			{
				const std::string& name = token.text;
				if (name == "UINTERFACE")
				{
					throw ParseError(token.line, "UINTERFACE is not supported: interfaces cannot be reflected");
				}
				if (name == "UPROPERTY" || name == "UFUNCTION")
				{
					throw ParseError(token.line, name + " outside a reflected type (UCLASS or USTRUCT body)");
				}
				if (name == "UMETA")
				{
					throw ParseError(token.line, "UMETA outside a UENUM");
				}
				if (name == "UPARAM")
				{
					throw ParseError(token.line, "UPARAM outside a UFUNCTION parameter list");
				}
				if (isGeneratedBody(token))
				{
					throw ParseError(token.line, name + "() outside a UCLASS or USTRUCT body");
				}
				if (bInOther)
				{
					throw ParseError(token.line, name + " must be at file scope, not inside a class or function body");
				}
				if (bInNamespace)
				{
					if (name == "UENUM")
					{
						throw ParseError(token.line, "UENUM inside a namespace is not supported; use 'enum class E : uint8'");
					}
					throw ParseError(token.line, name + " inside a namespace is not supported");
				}
				if (name == "UENUM")
				{
					parseEnum();
				}
				else if (name == "USTRUCT")
				{
					parseStruct();
				}
				else if (name == "UCLASS")
				{
					parseClass();
				}
				else
				{
					parseDelegate();
				}
			}

			static std::string docOf(const Token& macro, const Token& next)
			{
				return macro.hasDoc ? macro.doc : next.hasDoc ? next.doc
															  : std::string();
			}

			static void addToolTip(MetaData& meta, const std::string& doc)
			{
				if (!doc.empty())
				{
					meta.set("ToolTip", doc);
				}
			}

			// Skips a bracketed group starting at pos; annotations inside it are errors.
			void skipGroup(const std::string& where)
			{
				const int startLine = at().line;
				std::vector<std::string> closers;
				do
				{
					const Token& token = at();
					if (token.kind == TokenKind::End)
					{
						throw ParseError(startLine, "unexpected end of file inside " + where);
					}
					if (token.is("{") || token.is("(") || token.is("["))
					{
						closers.push_back(token.is("{") ? "}" : token.is("(") ? ")"
																			  : "]");
					}
					else if (token.is("}") || token.is(")") || token.is("]"))
					{
						if (closers.empty() || token.text != closers.back())
						{
							throw ParseError(token.line, "unbalanced '" + token.text + "' inside " + where);
						}
						closers.pop_back();
					}
					else if (isAnnotation(token))
					{
						throw ParseError(token.line, token.text + " is not allowed here: nested types and function bodies are not reflected");
					}
					++pos;
				} while (!closers.empty());
			}

			// Collects "Name [final] [: public A, B]" up to the opening brace.
			void parseTypeHead(const std::string& keyword, std::string& name, std::string& super, int& line)
			{
				line = at().line;
				std::vector<const Token*> words;
				while (!at().is(":") && !at().is("{"))
				{
					const Token& token = at();
					if (token.kind == TokenKind::End || token.is(";"))
					{
						throw ParseError(token.line, "expected the body of the " + keyword + " after its annotation");
					}
					if (token.is("alignas"))
					{
						++pos;
						skipGroup("alignas");
						continue;
					}
					if (token.isIdentifier() && !endsWith(token.text, "_API") && token.text != "final")
					{
						words.push_back(&token);
					}
					++pos;
				}
				if (words.empty())
				{
					throw ParseError(line, "expected a " + keyword + " name");
				}
				name = words.back()->text;
				line = words.back()->line;
				if (words.size() > 1)
				{
					throw ParseError(words.back()->line, "unexpected '" + words.front()->text + "' before " + keyword + " name '" + name + "'");
				}
				if (at().is(":"))
				{
					++pos;
					size_t begin = pos;
					int angle = 0;
					while (!(angle == 0 && (at().is(",") || at().is("{"))))
					{
						if (at().kind == TokenKind::End || at().is(";"))
						{
							throw ParseError(at().line, "expected the body of '" + name + "'");
						}
						if (at().is("<"))
						{
							++angle;
						}
						else if (at().is(">"))
						{
							--angle;
						}
						++pos;
					}
					while (begin < pos && isOneOf(tokens[begin], {"public", "protected", "private", "virtual"}))
					{
						++begin;
					}
					super = joinTokens(tokens, begin, pos);
					if (super.empty())
					{
						throw ParseError(line, "missing base type of '" + name + "'");
					}
					while (!at().is("{"))
					{
						if (at().kind == TokenKind::End || at().is(";"))
						{
							throw ParseError(at().line, "expected the body of '" + name + "'");
						}
						++pos;
					}
				}
			}

			void parseEnum()
			{
				const Token& macro = at();
				++pos;
				EnumDef def;
				const std::vector<Specifier> specifiers = parseSpecifiers(tokens, pos, "UENUM", macro.line);
				applyEnumSpecifiers(specifiers, def);
				if (at().is("namespace"))
				{
					throw ParseError(at().line, "namespaced enums (namespace E { enum Type }) are not supported; use 'enum class E : uint8'");
				}
				const std::string doc = docOf(macro, at());
				expect("enum", "after UENUM(...)");
				if (at().is("class") || at().is("struct"))
				{
					def.bEnumClass = true;
					++pos;
				}
				if (!at().isIdentifier())
				{
					throw ParseError(at().line, "expected an enum name after UENUM(...)");
				}
				def.name = at().text;
				def.line = at().line;
				++pos;
				if (at().is(":"))
				{
					++pos;
					const size_t begin = pos;
					while (!at().is("{") && !at().is(";") && at().kind != TokenKind::End)
					{
						++pos;
					}
					def.underlyingType = joinTokens(tokens, begin, pos);
				}
				if (!def.bEnumClass && def.underlyingType.empty())
				{
					throw ParseError(def.line, "UENUM '" + def.name + "' needs an underlying type ('enum " + def.name + " : uint8') so it can be declared ahead of its definition");
				}
				expect("{", "to open the body of enum '" + def.name + "'");
				while (!at().is("}"))
				{
					const Token& nameToken = at();
					if (!nameToken.isIdentifier())
					{
						const std::string found = nameToken.kind == TokenKind::End ? "end of file" : "'" + nameToken.text + "'";
						throw ParseError(nameToken.line, "expected an enumerator of '" + def.name + "', found " + found);
					}
					EnumeratorDef enumerator;
					enumerator.name = nameToken.text;
					++pos;
					int depth = 0;
					while (!(depth == 0 && (at().is(",") || at().is("}"))))
					{
						const Token& token = at();
						if (token.kind == TokenKind::End || token.is(";"))
						{
							throw ParseError(token.line, "unterminated body of enum '" + def.name + "'");
						}
						if (token.is("UMETA"))
						{
							++pos;
							applyEnumeratorSpecifiers(parseSpecifiers(tokens, pos, "UMETA", token.line), enumerator);
							continue;
						}
						if (isAnnotation(token))
						{
							throw ParseError(token.line, token.text + " is not allowed inside an enum");
						}
						if (token.is("(") || token.is("{") || token.is("["))
						{
							++depth;
						}
						else if (token.is(")") || token.is("}") || token.is("]"))
						{
							--depth;
						}
						++pos;
					}
					addToolTip(enumerator.meta, nameToken.hasDoc ? nameToken.doc : std::string());
					for (const EnumeratorDef& existing : def.enumerators)
					{
						if (existing.name == enumerator.name)
						{
							throw ParseError(nameToken.line, "duplicate enumerator '" + enumerator.name + "'");
						}
					}
					def.enumerators.push_back(std::move(enumerator));
					if (at().is(","))
					{
						++pos;
					}
				}
				++pos;
				expect(";", "after the body of enum '" + def.name + "'");
				addToolTip(def.meta, doc);
				header.order.push_back({TypeRef::Kind::Enum, header.enums.size()});
				header.enums.push_back(std::move(def));
			}

			void parseStruct()
			{
				const Token& macro = at();
				++pos;
				StructDef def;
				const std::vector<Specifier> specifiers = parseSpecifiers(tokens, pos, "USTRUCT", macro.line);
				def.flags.add("STRUCT_Native");
				applyStructSpecifiers(specifiers, def);
				const std::string doc = docOf(macro, at());
				if (!at().is("struct") && !at().is("class"))
				{
					throw ParseError(at().line, "expected 'struct' after USTRUCT(...)");
				}
				const bool bClassKeyword = at().is("class");
				++pos;
				parseTypeHead("struct", def.name, def.superName, def.line);
				if (def.name.size() < 2 || def.name[0] != 'F')
				{
					throw ParseError(def.line, "USTRUCT name '" + def.name + "' must start with 'F'");
				}
				addToolTip(def.meta, doc);
				BodyParser body{def.name, def.line, false, bClassKeyword ? Access::Private : Access::Public, def.generatedBodyLine, def.properties, nullptr};
				parseBody(body);
				header.order.push_back({TypeRef::Kind::Struct, header.structs.size()});
				header.structs.push_back(std::move(def));
			}

			void parseClass()
			{
				const Token& macro = at();
				++pos;
				ClassDef def;
				const std::vector<Specifier> specifiers = parseSpecifiers(tokens, pos, "UCLASS", macro.line);
				applyClassSpecifiers(specifiers, def);
				def.flags.add("CLASS_Native");
				const std::string doc = docOf(macro, at());
				if (!at().is("class"))
				{
					throw ParseError(at().line, "expected 'class' after UCLASS(...)");
				}
				++pos;
				parseTypeHead("class", def.name, def.superName, def.line);
				if (def.name.size() < 2 || (def.name[0] != 'U' && def.name[0] != 'A'))
				{
					throw ParseError(def.line, "UCLASS name '" + def.name + "' must start with 'U' or 'A'");
				}
				if (def.superName.empty())
				{
					throw ParseError(def.line, "UCLASS '" + def.name + "' must derive from UObject or another UCLASS");
				}
				addToolTip(def.meta, doc);
				if (!header.includePath.empty())
				{
					def.meta.set("IncludePath", header.includePath);
				}
				def.meta.set("ModuleRelativePath", header.moduleRelativePath);
				BodyParser body{def.name, def.line, true, Access::Private, def.generatedBodyLine, def.properties, &def.functions};
				parseBody(body);
				header.order.push_back({TypeRef::Kind::Class, header.classes.size()});
				header.classes.push_back(std::move(def));
			}

			struct BodyParser
			{
				const std::string& typeName;
				int typeLine;
				bool bClass;
				Access access;
				int& generatedBodyLine;
				std::vector<PropertyDef>& properties;
				std::vector<FunctionDef>* functions; // null for structs
			};

			void parseBody(BodyParser& body)
			{
				const int bodyLine = at().line;
				expect("{", "to open the body of '" + body.typeName + "'");
				while (!at().is("}"))
				{
					const Token& token = at();
					if (token.kind == TokenKind::End)
					{
						throw ParseError(bodyLine, "unterminated body of '" + body.typeName + "'");
					}
					if (isOneOf(token, {"public", "protected", "private"}) && at(1).is(":"))
					{
						body.access = token.is("public") ? Access::Public : token.is("protected") ? Access::Protected
																								  : Access::Private;
						pos += 2;
						continue;
					}
					if (isGeneratedBody(token))
					{
						if (body.generatedBodyLine != 0)
						{
							throw ParseError(token.line, "second " + token.text + "() in '" + body.typeName + "'");
						}
						body.generatedBodyLine = token.line;
						++pos;
						expect("(", "after " + token.text);
						expect(")", "after " + token.text + "(");
						if (at().is(";"))
						{
							++pos;
						}
						body.access = body.bClass ? Access::Private : Access::Public;
						continue;
					}
					if (token.is("UPROPERTY"))
					{
						parseProperty(body);
						continue;
					}
					if (token.is("UFUNCTION"))
					{
						if (!body.functions)
						{
							throw ParseError(token.line, "UFUNCTION is not allowed in a USTRUCT ('" + body.typeName + "')");
						}
						parseFunction(body);
						continue;
					}
					if (startsWith(token.text, "DECLARE_DYNAMIC_") && token.isIdentifier())
					{
						throw ParseError(token.line, token.text + " inside a class body is not supported; declare the delegate at file scope");
					}
					if (isTypeMacro(token))
					{
						throw ParseError(token.line, "nested reflected types are not supported (" + token.text + " inside '" + body.typeName + "')");
					}
					if (isAnnotation(token))
					{
						throw ParseError(token.line, token.text + " is not allowed here");
					}
					if (token.is("{") || token.is("(") || token.is("["))
					{
						skipGroup("the body of '" + body.typeName + "'");
						continue;
					}
					++pos;
				}
				++pos;
				expect(";", "after the body of '" + body.typeName + "'");
				if (body.generatedBodyLine == 0)
				{
					throw ParseError(body.typeLine, "missing GENERATED_BODY() in '" + body.typeName + "'");
				}
			}

			// Index of the ';' ending the declaration that starts at pos.
			size_t findDeclarationEnd(const char* macro, int macroLine)
			{
				int depth = 0;
				for (size_t i = pos; i < tokens.size(); ++i)
				{
					const Token& token = tokens[i];
					if (token.kind == TokenKind::End || (depth == 0 && token.is("}")) || isAnnotation(token))
					{
						throw ParseError(macroLine, std::string("expected a declaration ending in ';' after ") + macro + "(...)");
					}
					if (token.is("(") || token.is("{") || token.is("["))
					{
						++depth;
					}
					else if (token.is(")") || token.is("}") || token.is("]"))
					{
						--depth;
					}
					else if (depth == 0 && token.is(";"))
					{
						return i;
					}
				}
				throw ParseError(macroLine, std::string("expected a declaration after ") + macro + "(...)");
			}

			void parseProperty(BodyParser& body)
			{
				const Token& macro = at();
				++pos;
				PropertyDef def;
				def.line = macro.line;
				const std::vector<Specifier> specifiers = parseSpecifiers(tokens, pos, "UPROPERTY", macro.line);
				applyPropertySpecifiers(specifiers, def);
				def.flags.add(std::string("CPF_NativeAccessSpecifier") + accessSuffix(body.access));
				const std::string doc = docOf(macro, at());

				const size_t end = findDeclarationEnd("UPROPERTY", macro.line);
				size_t begin = pos;
				while (begin < end && isOneOf(tokens[begin], {"mutable"}))
				{
					++begin;
				}
				if (begin < end && isOneOf(tokens[begin], {"static", "constexpr", "typedef", "using", "friend"}))
				{
					throw ParseError(tokens[begin].line, "UPROPERTY cannot be applied to a '" + tokens[begin].text + "' declaration");
				}
				size_t declaratorEnd = begin;
				int angle = 0;
				while (declaratorEnd < end)
				{
					const Token& token = tokens[declaratorEnd];
					if (token.is("<"))
					{
						++angle;
					}
					else if (token.is(">"))
					{
						--angle;
					}
					else if (angle == 0 && (token.is("=") || token.is("{")))
					{
						break;
					}
					else if (angle == 0 && token.is("["))
					{
						throw ParseError(token.line, "C arrays are not supported as UPROPERTY; use TArray");
					}
					else if (angle == 0 && token.is(":"))
					{
						throw ParseError(token.line, "bitfield UPROPERTY is not supported; use bool");
					}
					else if (angle == 0 && token.is(","))
					{
						throw ParseError(token.line, "declare one variable per UPROPERTY");
					}
					else if (token.is("("))
					{
						throw ParseError(token.line, "expected a member variable after UPROPERTY(...); functions need UFUNCTION");
					}
					++declaratorEnd;
				}
				if (declaratorEnd - begin < 2 || !tokens[declaratorEnd - 1].isIdentifier())
				{
					throw ParseError(macro.line, "expected 'Type Name;' after UPROPERTY(...)");
				}
				def.name = tokens[declaratorEnd - 1].text;
				def.cppType = joinTokens(tokens, begin, declaratorEnd - 1);
				if (tokens[declaratorEnd - 2].is("&") || tokens[declaratorEnd - 2].is("&&"))
				{
					throw ParseError(macro.line, "reference members cannot be UPROPERTY: '" + def.name + "'");
				}
				addToolTip(def.meta, doc);
				for (const PropertyDef& existing : body.properties)
				{
					if (existing.name == def.name)
					{
						throw ParseError(macro.line, "duplicate UPROPERTY '" + def.name + "'");
					}
				}
				pos = end + 1;
				body.properties.push_back(std::move(def));
			}

			struct ParsedParam
			{
				ParamDef param;
				std::string declared; // "Type Name" for the generated event definition
			};

			ParsedParam parseParam(size_t begin, size_t end, int line, MetaData& functionMeta)
			{
				ParsedParam result;
				std::vector<Token> kept;
				bool bRefSpecifier = false;
				size_t defaultBegin = end;
				int depth = 0;
				for (size_t i = begin; i < end; ++i)
				{
					const Token& token = tokens[i];
					if (depth == 0 && token.is("UPARAM"))
					{
						size_t cursor = i + 1;
						bRefSpecifier = applyParamSpecifiers(parseSpecifiers(tokens, cursor, "UPARAM", token.line), result.param) || bRefSpecifier;
						i = cursor - 1;
						continue;
					}
					if (isAnnotation(token))
					{
						throw ParseError(token.line, token.text + " is not allowed in a parameter list");
					}
					if (token.is("(") || token.is("{") || token.is("[") || token.is("<"))
					{
						++depth;
					}
					else if (token.is(")") || token.is("}") || token.is("]") || token.is(">"))
					{
						--depth;
					}
					else if (depth == 0 && token.is("="))
					{
						defaultBegin = i;
						break;
					}
					kept.push_back(token);
				}
				if (kept.size() < 2 || !kept.back().isIdentifier() || kept[kept.size() - 2].is("::"))
				{
					throw ParseError(line, "UFUNCTION parameters need a type and a name: '" + joinTokens(tokens, begin, end) + "'");
				}
				for (const Token& token : kept)
				{
					if (token.is("["))
					{
						throw ParseError(token.line, "C array parameters are not supported; use TArray");
					}
				}
				result.param.name = kept.back().text;
				const DecayedType type = decayType(kept, 0, kept.size() - 1, line);
				result.param.storageType = type.storage;
				result.declared = type.written + " " + result.param.name;
				result.param.flags.add("CPF_Parm");
				if (type.bReference && type.bConst)
				{
					result.param.flags.add("CPF_ConstParm");
					result.param.flags.add("CPF_ReferenceParm");
				}
				else if (type.bReference)
				{
					result.param.flags.add("CPF_OutParm");
					if (bRefSpecifier)
					{
						result.param.flags.add("CPF_ReferenceParm");
					}
					result.param.bOut = true;
				}
				if (bRefSpecifier && !type.bReference)
				{
					throw ParseError(line, "UPARAM(ref) needs a reference parameter: '" + result.param.name + "'");
				}
				if (defaultBegin < end)
				{
					functionMeta.set("CPP_Default_" + result.param.name, joinTokens(tokens, defaultBegin + 1, end));
				}
				return result;
			}

			// Splits the tokens in [begin, end) at top-level commas.
			std::vector<std::pair<size_t, size_t>> splitList(size_t begin, size_t end, bool bAngles) const
			{
				std::vector<std::pair<size_t, size_t>> parts;
				int depth = 0;
				size_t partBegin = begin;
				for (size_t i = begin; i < end; ++i)
				{
					const Token& token = tokens[i];
					if (token.is("(") || token.is("{") || token.is("[") || (bAngles && token.is("<")))
					{
						++depth;
					}
					else if (token.is(")") || token.is("}") || token.is("]") || (bAngles && token.is(">")))
					{
						--depth;
					}
					else if (depth == 0 && token.is(","))
					{
						parts.emplace_back(partBegin, i);
						partBegin = i + 1;
					}
				}
				if (partBegin < end)
				{
					parts.emplace_back(partBegin, end);
				}
				return parts;
			}

			size_t matchingParen(size_t open) const
			{
				int depth = 0;
				for (size_t i = open; i < tokens.size(); ++i)
				{
					if (tokens[i].kind == TokenKind::End)
					{
						break;
					}
					if (tokens[i].is("("))
					{
						++depth;
					}
					else if (tokens[i].is(")") && --depth == 0)
					{
						return i;
					}
				}
				throw ParseError(tokens[open].line, "unbalanced '('");
			}

			void parseFunction(BodyParser& body)
			{
				const Token& macro = at();
				++pos;
				FunctionDef def;
				def.line = macro.line;
				const std::vector<Specifier> specifiers = parseSpecifiers(tokens, pos, "UFUNCTION", macro.line);
				FunctionDef fromSpecifiers;
				applyFunctionSpecifiers(specifiers, fromSpecifiers);
				def.bEvent = fromSpecifiers.bEvent;
				def.bNativeEvent = fromSpecifiers.bNativeEvent;
				def.meta = fromSpecifiers.meta;
				const std::string doc = docOf(macro, at());

				// Leading keywords, return type, name.
				bool bVirtual = false;
				std::vector<Token> returnTokens;
				size_t nameIndex = 0;
				int angle = 0;
				while (true)
				{
					const Token& token = at();
					if (token.kind == TokenKind::End || token.is(";") || token.is("{") || token.is("}") || isAnnotation(token))
					{
						throw ParseError(macro.line, "expected a function declaration after UFUNCTION(...)");
					}
					if (token.is("<"))
					{
						++angle;
					}
					else if (token.is(">"))
					{
						--angle;
					}
					if (angle == 0 && token.is("("))
					{
						break;
					}
					if (angle == 0 && token.is("["))
					{
						skipGroup("an attribute");
						continue;
					}
					if (isOneOf(token, {"static"}))
					{
						def.bStatic = true;
					}
					else if (isOneOf(token, {"virtual"}))
					{
						bVirtual = true;
					}
					else if (isOneOf(token, {"inline", "FORCEINLINE", "FORCENOINLINE", "explicit", "constexpr", "UE_NODISCARD"}) || (token.isIdentifier() && endsWith(token.text, "_API")))
					{
					}
					else
					{
						returnTokens.push_back(token);
					}
					nameIndex = pos;
					++pos;
				}
				if (returnTokens.empty() || !tokens[nameIndex].isIdentifier() || tokens[nameIndex].is("operator"))
				{
					throw ParseError(macro.line, "expected 'ReturnType Name(...)' after UFUNCTION(...)");
				}
				returnTokens.pop_back();
				def.name = tokens[nameIndex].text;
				if (returnTokens.empty())
				{
					throw ParseError(macro.line, "constructors and destructors cannot be UFUNCTION: '" + def.name + "'");
				}
				if (!(returnTokens.size() == 1 && returnTokens[0].is("void")))
				{
					const DecayedType returnType = decayType(returnTokens, 0, returnTokens.size(), macro.line);
					def.returnType = returnType.written;
					def.returnStorageType = returnType.storage;
					if (returnType.bReference && def.bEvent)
					{
						throw ParseError(macro.line, "Blueprint events cannot return a reference: '" + def.name + "'");
					}
				}

				// Parameters.
				const size_t open = pos;
				const size_t close = matchingParen(open);
				std::vector<std::string> declared;
				const auto parts = splitList(open + 1, close, true);
				const bool bVoidList = parts.size() == 1 && parts[0].second - parts[0].first == 1 && tokens[parts[0].first].is("void");
				if (!bVoidList)
				{
					for (const auto& [begin, end] : parts)
					{
						ParsedParam parsed = parseParam(begin, end, tokens[begin].line, def.meta);
						for (const ParamDef& existing : def.params)
						{
							if (existing.name == parsed.param.name)
							{
								throw ParseError(macro.line, "duplicate parameter '" + existing.name + "'");
							}
						}
						if (!def.returnType.empty() && parsed.param.name == "ReturnValue")
						{
							throw ParseError(macro.line, "a parameter named 'ReturnValue' clashes with the return value of '" + def.name + "'");
						}
						declared.push_back(parsed.declared);
						def.params.push_back(std::move(parsed.param));
					}
				}
				for (size_t i = 0; i < declared.size(); ++i)
				{
					def.declaredParams += (i > 0 ? ", " : "") + declared[i];
				}
				pos = close + 1;

				// Qualifiers, then ';' or an inline body.
				bool bHasBody = false;
				bool bFinalKeyword = false;
				while (true)
				{
					const Token& token = at();
					if (token.kind == TokenKind::End || token.is("}") || isAnnotation(token))
					{
						throw ParseError(macro.line, "expected ';' or a body after the declaration of '" + def.name + "'");
					}
					if (token.is(";"))
					{
						++pos;
						break;
					}
					if (token.is("{"))
					{
						skipGroup("the body of '" + def.name + "'");
						bHasBody = true;
						if (at().is(";"))
						{
							++pos;
						}
						break;
					}
					if (token.is("const"))
					{
						def.bConst = true;
					}
					else if (token.is("final"))
					{
						bFinalKeyword = true;
					}
					else if (token.is("->"))
					{
						throw ParseError(token.line, "trailing return types are not supported on UFUNCTION '" + def.name + "'");
					}
					else if (token.is("(") || token.is("["))
					{
						skipGroup("the declaration of '" + def.name + "'");
						continue;
					}
					++pos;
				}

				if (def.bEvent)
				{
					const char* kind = def.bNativeEvent ? "BlueprintNativeEvent" : "BlueprintImplementableEvent";
					if (def.bStatic)
					{
						throw ParseError(macro.line, std::string(kind) + " '" + def.name + "' cannot be static");
					}
					if (bVirtual)
					{
						throw ParseError(macro.line, std::string(kind) + " '" + def.name + "' must not be virtual" + (def.bNativeEvent ? "; make '" + def.name + "_Implementation' virtual instead" : std::string()));
					}
					if (bHasBody)
					{
						throw ParseError(macro.line, std::string(kind) + " '" + def.name + "' must not have a body: HeaderTool generates it" + (def.bNativeEvent ? "; implement '" + def.name + "_Implementation'" : std::string()));
					}
				}
				def.bNative = !def.bEvent || def.bNativeEvent;

				bool bHasOutParms = false;
				for (const ParamDef& param : def.params)
				{
					bHasOutParms = bHasOutParms || param.bOut;
				}
				if (fromSpecifiers.flags.has("FUNC_BlueprintPure") && def.returnType.empty() && !bHasOutParms)
				{
					throw ParseError(macro.line, "BlueprintPure function '" + def.name + "' must return a value or have an output parameter");
				}

				if (def.bNative)
				{
					def.flags.add("FUNC_Native");
				}
				if (def.bEvent)
				{
					def.flags.add("FUNC_Event");
					def.flags.add("FUNC_BlueprintEvent");
				}
				if (def.bStatic)
				{
					def.flags.add("FUNC_Static");
				}
				// What C++ does not let a subclass override, a Blueprint cannot override either.
				if (!def.bEvent && (!bVirtual || bFinalKeyword))
				{
					def.flags.add("FUNC_Final");
				}
				def.flags.add(std::string("FUNC_") + accessSuffix(body.access));
				if (def.bConst)
				{
					def.flags.add("FUNC_Const");
				}
				for (const std::string& flag : fromSpecifiers.flags.items())
				{
					def.flags.add(flag);
				}
				if (bHasOutParms)
				{
					def.flags.add("FUNC_HasOutParms");
				}
				addToolTip(def.meta, doc);

				for (const FunctionDef& existing : *body.functions)
				{
					if (existing.name == def.name)
					{
						throw ParseError(macro.line, "UFUNCTION '" + def.name + "' is declared twice; overloads cannot be reflected");
					}
				}
				body.functions->push_back(std::move(def));
			}

			void parseDelegate()
			{
				const Token& macro = at();
				const std::string& name = macro.text;
				DelegateDef def;
				def.line = macro.line;
				bool bRetVal = false;
				int paramCount = -1;
				const std::string multicastPrefix = "DECLARE_DYNAMIC_MULTICAST_DELEGATE";
				const std::string singlePrefix = "DECLARE_DYNAMIC_DELEGATE";
				if (startsWith(name, multicastPrefix))
				{
					def.bMulticast = true;
					paramCount = delegateParamCount(name.substr(multicastPrefix.size()));
				}
				else if (startsWith(name, singlePrefix))
				{
					std::string rest = name.substr(singlePrefix.size());
					if (startsWith(rest, "_RetVal"))
					{
						bRetVal = true;
						rest = rest.substr(7);
					}
					paramCount = delegateParamCount(rest);
				}
				if (paramCount < 0)
				{
					throw ParseError(macro.line, "unsupported delegate macro '" + name + "'");
				}
				++pos;
				if (!at().is("("))
				{
					throw ParseError(macro.line, "expected '(' after " + name);
				}
				const size_t open = pos;
				const size_t close = matchingParen(open);
				const auto args = splitList(open + 1, close, false);
				const size_t expected = static_cast<size_t>(paramCount) * 2 + 1 + (bRetVal ? 1 : 0);
				if (args.size() != expected)
				{
					throw ParseError(macro.line, name + " expects " + std::to_string(expected) + " arguments, found " + std::to_string(args.size()));
				}
				size_t next = 0;
				if (bRetVal)
				{
					const DecayedType returnType = decayType(tokens, args[0].first, args[0].second, macro.line);
					def.returnStorageType = returnType.storage;
					++next;
				}
				const auto& nameArg = args[next++];
				if (nameArg.second - nameArg.first != 1 || !tokens[nameArg.first].isIdentifier())
				{
					throw ParseError(macro.line, "expected a delegate type name in " + name);
				}
				def.name = tokens[nameArg.first].text;
				if (def.name.size() < 2 || def.name[0] != 'F')
				{
					throw ParseError(macro.line, "delegate type name '" + def.name + "' must start with 'F'");
				}
				bool bHasOutParms = false;
				for (int i = 0; i < paramCount; ++i)
				{
					const auto& typeArg = args[next++];
					const auto& paramArg = args[next++];
					if (paramArg.second - paramArg.first != 1 || !tokens[paramArg.first].isIdentifier())
					{
						throw ParseError(macro.line, "expected a parameter name after '" + joinTokens(tokens, typeArg.first, typeArg.second) + "' in " + name);
					}
					ParamDef param;
					param.name = tokens[paramArg.first].text;
					const DecayedType type = decayType(tokens, typeArg.first, typeArg.second, macro.line);
					param.storageType = type.storage;
					param.flags.add("CPF_Parm");
					if (type.bReference && type.bConst)
					{
						param.flags.add("CPF_ConstParm");
						param.flags.add("CPF_ReferenceParm");
					}
					else if (type.bReference)
					{
						param.flags.add("CPF_OutParm");
						param.bOut = true;
						bHasOutParms = true;
					}
					for (const ParamDef& existing : def.params)
					{
						if (existing.name == param.name)
						{
							throw ParseError(macro.line, "duplicate parameter '" + param.name + "' in " + def.name);
						}
					}
					def.params.push_back(std::move(param));
				}
				if (bRetVal)
				{
					ParamDef returnValue = returnValueParam(def.returnStorageType);
					for (const ParamDef& existing : def.params)
					{
						if (existing.name == returnValue.name)
						{
							throw ParseError(macro.line, "a parameter named 'ReturnValue' clashes with the return value of " + def.name);
						}
					}
					def.params.push_back(std::move(returnValue));
				}
				if (def.bMulticast)
				{
					def.flags.add("FUNC_MulticastDelegate");
				}
				def.flags.add("FUNC_Public");
				def.flags.add("FUNC_Delegate");
				if (bHasOutParms)
				{
					def.flags.add("FUNC_HasOutParms");
				}
				addToolTip(def.meta, macro.hasDoc ? macro.doc : std::string());
				pos = close + 1;
				if (at().is(";"))
				{
					++pos;
				}
				header.order.push_back({TypeRef::Kind::Delegate, header.delegates.size()});
				header.delegates.push_back(std::move(def));
			}

			const std::vector<Token>& tokens;
			HeaderDef& header;
			size_t pos = 0;
		};

		void resolvePaths(HeaderDef& header)
		{
			namespace fs = std::filesystem;
			const fs::path absolute = fs::absolute(fs::path(header.path)).lexically_normal();
			header.absolutePath = absolute.generic_string();
			header.stem = absolute.stem().string();

			std::vector<std::string> parts;
			for (const fs::path& part : absolute)
			{
				parts.push_back(part.string());
			}
			header.moduleRelativePath = absolute.filename().string();
			header.includePath = header.moduleRelativePath;
			for (size_t i = parts.size(); i-- > 0;)
			{
				if (parts[i] == "Public" || parts[i] == "Private" || parts[i] == "Classes")
				{
					std::string relative;
					for (size_t j = i + 1; j < parts.size(); ++j)
					{
						relative += (relative.empty() ? "" : "/") + parts[j];
					}
					header.includePath = relative;
					header.moduleRelativePath = parts[i] + "/" + relative;
					break;
				}
			}
		}

		void checkGeneratedInclude(const TokenizedFile& file, HeaderDef& header)
		{
			const std::string expected = header.stem + ".generated.h";
			const IncludeDirective* generated = nullptr;
			for (const IncludeDirective& include : file.includes)
			{
				const std::string fileName = std::filesystem::path(include.path).filename().string();
				if (generated)
				{
					if (endsWith(fileName, ".generated.h"))
					{
						throw ParseError(include.line, "second generated header include \"" + include.path + "\"");
					}
					throw ParseError(include.line, "#include \"" + include.path + "\" after \"" + generated->path + "\": the generated header must be the last #include");
				}
				if (endsWith(fileName, ".generated.h"))
				{
					if (include.path != expected)
					{
						throw ParseError(include.line, "#include \"" + include.path + "\" does not match this header; expected #include \"" + expected + "\"");
					}
					generated = &include;
				}
			}

			for (const Token& token : file.tokens)
			{
				if (!isAnnotation(token))
				{
					continue;
				}
				if (!generated)
				{
					throw ParseError(token.line, token.text + " needs #include \"" + expected + "\" as the header's last #include");
				}
				if (token.line < generated->line)
				{
					throw ParseError(token.line, token.text + " before #include \"" + expected + "\"");
				}
				break;
			}
			header.bReflected = generated != nullptr;
		}
	}

	HeaderDef parseHeader(const std::string& path, const std::string& source)
	{
		HeaderDef header;
		header.path = path;
		resolvePaths(header);
		const TokenizedFile file = tokenize(source);
		checkGeneratedInclude(file, header);
		if (header.bReflected)
		{
			Parser(file, header).run();
		}
		return header;
	}
}
