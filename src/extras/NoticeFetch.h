// Fetching the operator's notice: its text into memory and its picture to a file.
#pragma once
#include <string>

// The notice file on the client server.
extern const wchar_t kNoticeUrl[];

// One GET of `address` (an http:// address on one of the operator's sites). Accepted only for
// a 2xx answer whose announced length is below 1024 bytes and which delivers that many bytes
// (a read may return less than asked, so it reads until the length is reached or a read
// fails); the bytes are converted from the ANSI code page. False leaves `text` empty.
bool FetchNoticeText(const wchar_t* address, std::wstring& text);

class CHttpClient;

// The picture to `path`, only from one of the operator's sites; false when nothing complete
// arrived. Through `client`, which another thread may cancel: the transfer then ends and its
// temporary file is deleted.
bool DownloadNoticePicture(CHttpClient& client, const std::wstring& pictureUrl, const std::wstring& path);
