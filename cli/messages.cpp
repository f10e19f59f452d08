#include "cli/messages.h"

namespace tarvik {
namespace {
constexpr platform::Stream OUT = platform::Stream::output;
constexpr platform::Stream ERR = platform::Stream::error;
}  // namespace

const Message MSG_USAGE{
    L"splilt:  tarvik -s<分割サイズ[k|m|g][b]> <対象ファイル...>\n"
    L"         tarvik -s<分割数> <対象ファイル...>\n"
    L"join  :  tarvik <対象ファイル...>\n",
    OUT};
const Message MSG_SOURCE_OPEN_FAILED{L"分割対象ファイル '%s' を開くことが出来ませんでした。\n",
                                     ERR};
const Message MSG_BAD_SPLIT_SPEC{L"分割サイズまたは分割数が正しくありません。\n", ERR};
const Message MSG_NO_SPLIT_NEEDED{L"分割する必要がありません。\n", ERR};
const Message MSG_TOO_MANY_PIECES{L"分割数が多すぎます。\n", ERR};
const Message MSG_OUT_OF_MEMORY{L"メモリの確保に失敗しました。\n", ERR};
const Message MSG_PIECE_CREATE_FAILED{L"分割ファイルの作成に失敗しました。\n", ERR};
const Message MSG_JOINED_CREATE_FAILED{L"結合ファイルの作成に失敗しました。\n", ERR};
const Message MSG_NOT_A_PIECE{L"'%s' は分割されたファイルではありません。\n", ERR};
const Message MSG_PIECE_WRITE_FAILED{L"分割ファイル '%s' の書き込みに失敗しました。\n", ERR};
const Message MSG_SOURCE_READ_FAILED{L"分割対象ファイル '%s' の読み込みに失敗しました。\n", ERR};
const Message MSG_JOINED_WRITE_FAILED{L"結合ファイル '%s' の書き込みに失敗しました。\n", ERR};
const Message MSG_PIECE_READ_FAILED{L"分割ファイル '%s' の読み込みに失敗しました。\n", ERR};
const Message MSG_FIRST_PIECE_MISSING{L"分割ファイル '%s' を開くことが出来ませんでした。\n", ERR};
const Message MSG_ECHO_NAME{L"%s\n", OUT};

void print_message(const Message& message, const wchar_t* arg) {
    platform::print_formatted(message.stream, message.format, arg);
}

}  // namespace tarvik
