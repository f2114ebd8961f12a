// Runs the whole-tick benchmark program (the native table's lumawipe_tickbench, built to
// WebAssembly) with the arguments posted, in a fresh instance, and posts its lines back.
import TickBench from './lumawipe_tickbench.js';

onmessage = async ({ data: args }) => {
  const bench = await TickBench({
    print: (line) => postMessage({ line }),
    printErr: (line) => postMessage({ line: `stderr: ${line}` }),
  });
  const status = bench.callMain(args);
  postMessage({ done: true, status });
};
