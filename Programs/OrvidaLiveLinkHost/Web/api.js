// Requests to the host's JSON API. Every call resolves to the parsed answer, or rejects with an Error whose
// message is the host's own reason ({"error": ...}), the HTTP status when there is none, or "the host is not
// answering" when no answer came at all (the browser's own words for that, "Failed to fetch", say nothing to an
// operator).

async function send(method, path, body) {
  // The host refuses a change without a JSON content type (a page of another origin cannot send one unasked).
  const options = { method, headers: method === 'GET' ? {} : { 'Content-Type': 'application/json' } };
  if (body !== undefined) {
    options.body = JSON.stringify(body);
  }
  let response = null;
  let text = '';
  try {
    response = await fetch(path, options);
    text = await response.text();
  } catch {
    throw new Error('The host is not answering');
  }
  let answer = null;
  try {
    answer = text ? JSON.parse(text) : {};
  } catch {
    answer = null;
  }
  if (!response.ok) {
    throw new Error(answer && answer.error ? answer.error : `${method} ${path}: HTTP ${response.status}`);
  }
  return answer;
}

export const api = {
  get: (path) => send('GET', path),
  post: (path, body) => send('POST', path, body),
  put: (path, body) => send('PUT', path, body),
  del: (path) => send('DELETE', path),
};
