"""The texts the program prints, as the user reads them."""

USAGE = ("splilt:  tarvik -s<分割サイズ[k|m|g][b]> <対象ファイル...>\n"
         "         tarvik -s<分割数> <対象ファイル...>\n"
         "join  :  tarvik <対象ファイル...>\n")
BAD_SPLIT_SPEC = "分割サイズまたは分割数が正しくありません。\n"
NO_SPLIT_NEEDED = "分割する必要がありません。\n"
TOO_MANY_PIECES = "分割数が多すぎます。\n"
OUT_OF_MEMORY = "メモリの確保に失敗しました。\n"
PIECE_CREATE_FAILED = "分割ファイルの作成に失敗しました。\n"
JOINED_CREATE_FAILED = "結合ファイルの作成に失敗しました。\n"


def source_open_failed(path):
    return f"分割対象ファイル '{path}' を開くことが出来ませんでした。\n"


def not_a_piece(path):
    return f"'{path}' は分割されたファイルではありません。\n"


def piece_write_failed(name):
    return f"分割ファイル '{name}' の書き込みに失敗しました。\n"


def source_read_failed(path):
    return f"分割対象ファイル '{path}' の読み込みに失敗しました。\n"


def joined_write_failed(name):
    return f"結合ファイル '{name}' の書き込みに失敗しました。\n"


def piece_read_failed(name):
    return f"分割ファイル '{name}' の読み込みに失敗しました。\n"


def first_piece_missing(path):
    return f"分割ファイル '{path}' を開くことが出来ませんでした。\n"
