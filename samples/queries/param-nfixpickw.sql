-- description: Order lines with at least a quantity, picked or typed (NFIXPICKW)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT order_id, line_no, product_id, quantity
FROM order_lines
WHERE quantity >= ?NFIXPICKW_"Minimum quantity"||{1,5,10,20}?
ORDER BY quantity DESC, order_id
