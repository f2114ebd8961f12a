// The bench page: the whole tick of every operation at 446 x 75 and 1920 x 1080 beside a
// frame copy, measured by the benchmark program in a worker of this page.

// The two runs: small frames take several ticks per time taken (the browser's clock moves
// in steps of 5 us when the page is cross-origin isolated, 100 us otherwise).
export const Runs = [
  ['--sizes', '446x75', '--batch', '8', '--runs', '12'],
  ['--sizes', '1920x1080'],
];

// One run of the program; onLine(line) for each line it prints.
export function runBench(args, onLine) {
  return new Promise((resolve, reject) => {
    const worker = new Worker(new URL('./bench-worker.js', import.meta.url), { type: 'module' });
    worker.onmessage = ({ data }) => {
      if (data.line !== undefined) onLine(data.line);
      if (data.done) {
        worker.terminate();
        resolve(data.status);
      }
    };
    worker.onerror = (e) => reject(new Error(e.message));
    worker.postMessage(args);
  });
}
