// Requests to the host's JSON API. Every call resolves to the parsed answer, or rejects with an Error whose
// message is the host's own reason ({"error": ...}) or the HTTP status when there is none.

async function send(method, path, body) {
  // The host refuses a change without a JSON content type (a page of another origin cannot send one unasked).
  const options = { method, headers: method === 'GET' ? {} : { 'Content-Type': 'application/json' } };
  if (body !== undefined) {
    options.body = JSON.stringify(body);
  }
  const response = await fetch(path, options);
  const text = await response.text();
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
